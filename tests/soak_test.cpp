// Series on the stand-in scanning application with every fault switched on, in virtual time.
// scripts/soak runs the long one.
#include "tests/soak.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvel::harness {
namespace {

TEST(SoakTest, NamesAreSavedInOrderWhateverTheFaultsAndErrorOnlyClosesEachBoxOnce) {
  for (const ActionMode mode :
       {ActionMode::FullAuto, ActionMode::ErrorAndSaveAs, ActionMode::ErrorOnly}) {
    const SoakPlan plan{.names_per_series = mode == ActionMode::ErrorOnly ? 300 : 500,
                        .mode = mode};
    const SoakResult r = RunSoak(plan);
    std::printf("%s\n", Describe(plan, r).c_str());
    EXPECT_TRUE(Harmless(plan, r));
    // Every fault struck, so the figures mean something.
    const FaultCounts& f = r.desktop_faults;
    EXPECT_GT(std::min({f.windows_vanished, f.activations_failed, f.focus_thefts, f.reported_lost}),
              0);
    if (mode == ActionMode::ErrorOnly) {
      EXPECT_EQ(r.error_boxes_closed, r.scanner.pages_scanned);
      EXPECT_EQ(r.keys_to_save_as, 0);
      EXPECT_GE(r.scanner.saves, 300);
    } else {
      EXPECT_GT(
          std::min({r.scanner.saves_failed, r.scanner.dialogs_late, r.scanner.dialogs_cancelled}),
          0);
    }
  }
}

}  // namespace
}  // namespace quorvel::harness
