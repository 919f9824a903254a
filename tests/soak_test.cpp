// Series on the stand-in scanning application with every fault switched on, in virtual time.
// scripts/soak runs the long one.
#include "tests/soak.h"

#include <gtest/gtest.h>

namespace quorvel::harness {
namespace {

void ExpectNoHarm(const SoakPlan& plan, const SoakResult& result) {
  std::printf("%s\n", Describe(plan, result).c_str());
  EXPECT_EQ(result.misdelivered_keys, 0);
  EXPECT_EQ(result.series_unfinished, 0);
  EXPECT_EQ(result.messages, 0);
  EXPECT_FALSE(result.alt_left_down);
  EXPECT_EQ(result.journal_lines, result.journal_expected);
  // Every fault struck, so the figures mean something.
  EXPECT_GT(result.desktop_faults.windows_vanished, 0);
  EXPECT_GT(result.desktop_faults.activations_failed, 0);
  EXPECT_GT(result.desktop_faults.focus_thefts, 0);
  EXPECT_GT(result.desktop_faults.reported_lost, 0);
}

TEST(SoakTest, NamesAreSavedInOrderWhateverTheFaults) {
  for (const ActionMode mode : {ActionMode::FullAuto, ActionMode::ErrorAndSaveAs}) {
    const SoakPlan plan{.names_per_series = 500, .mode = mode};
    const SoakResult result = RunSoak(plan);
    ExpectNoHarm(plan, result);
    EXPECT_EQ(result.names_saved_in_order, result.names_listed);
    EXPECT_EQ(result.files_missing, 0);
    EXPECT_GT(result.scanner.saves_failed, 0);
    EXPECT_GT(result.scanner.dialogs_late, 0);
    EXPECT_GT(result.scanner.dialogs_cancelled, 0);
    EXPECT_GE(result.resends, result.scanner.saves_failed);
  }
}

TEST(SoakTest, ErrorOnlyClosesEveryBoxOnceAndTouchesNothingElse) {
  const SoakPlan plan{.names_per_series = 300, .mode = ActionMode::ErrorOnly};
  const SoakResult result = RunSoak(plan);
  ExpectNoHarm(plan, result);
  EXPECT_EQ(result.error_boxes_closed, result.pages_scanned);
  EXPECT_EQ(result.keys_to_save_as, 0);
  EXPECT_GE(result.scanner.saves, 300);
}

}  // namespace
}  // namespace quorvel::harness
