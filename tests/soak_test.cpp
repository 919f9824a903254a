#include "tests/soak.h"

#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

void ExpectNoHarm(const SoakPlan& plan, const SoakResult& result) {
  std::printf("%s\n", Describe(plan, result).c_str());
  EXPECT_EQ(result.misdelivered_keys, 0);
  EXPECT_EQ(result.series_unfinished, 0);
  EXPECT_FALSE(result.alt_left_down);
  EXPECT_EQ(result.messages, 0);
  EXPECT_GT(result.desktop_faults.windows_vanished, 0);
  EXPECT_GT(result.desktop_faults.reported_lost, 0);
  EXPECT_GT(result.desktop_faults.activations_failed, 0);
  EXPECT_GT(result.desktop_faults.focus_thefts, 0);
}

void ExpectSound(const SoakPlan& plan, const SoakResult& result) {
  ExpectNoHarm(plan, result);
  EXPECT_EQ(result.names_saved_in_order, result.names_listed);
  EXPECT_EQ(result.files_missing, 0);
  // Every fault actually struck, so the figures above mean something.
  EXPECT_GT(result.scanner.saves_failed, 0);
  EXPECT_GT(result.scanner.dialogs_late, 0);
  EXPECT_GT(result.scanner.dialogs_cancelled, 0);
  EXPECT_GE(result.resends, result.scanner.saves_failed);
}

TEST(SoakTest, TenThousandPagesInFullAutoWithFaults) {
  TempFolder folder;
  const SoakPlan plan;
  ExpectSound(plan, RunSoak(plan, folder.str()));
}

TEST(SoakTest, ErrorAndSaveAsWithFaults) {
  TempFolder folder;
  const SoakPlan plan{.series = 2, .names_per_series = 300, .mode = ActionMode::ErrorAndSaveAs};
  ExpectSound(plan, RunSoak(plan, folder.str()));
}

TEST(SoakTest, ErrorOnlyClosesEveryBoxOnceAndTouchesNothingElse) {
  TempFolder folder;
  const SoakPlan plan{.series = 1, .names_per_series = 300, .mode = ActionMode::ErrorOnly};
  const SoakResult result = RunSoak(plan, folder.str());
  ExpectNoHarm(plan, result);
  EXPECT_EQ(result.error_boxes_closed, result.pages_scanned);
  EXPECT_EQ(result.keys_to_save_as, 0);
  EXPECT_GE(result.scanner.saves, 300);
}

}  // namespace
}  // namespace quorvel::harness
