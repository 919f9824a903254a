#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

struct CensusCase {
  std::vector<std::string> titles;  // opened in this order, so the last is topmost
  int deskscan_count;
  bool save_as_present;
  std::string combo_text;
};

class CensusTest : public ::testing::TestWithParam<CensusCase> {};

TEST_P(CensusTest, CountsAndListsTitles) {
  VirtualClock clock;
  SimulatedDesktop desktop(clock, "");
  HeadlessHost host(clock);
  ScannerForm form(desktop, host);
  for (const std::string& title : GetParam().titles) desktop.OpenWindow(title);

  form.LoadTaskList();

  EXPECT_EQ(form.State().DeskScanCount, GetParam().deskscan_count);
  EXPECT_EQ(form.State().SaveAsPresent, GetParam().save_as_present);
  EXPECT_EQ(form.Controls().Text(ControlId::kCombo1), GetParam().combo_text);
  std::vector<std::string> listed;
  for (auto it = GetParam().titles.rbegin(); it != GetParam().titles.rend(); ++it) {
    if (!it->empty()) listed.push_back(*it);
  }
  EXPECT_EQ(form.Controls()[ControlId::kCombo1].items, listed);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, CensusTest,
    ::testing::Values(CensusCase{{}, 0, false, ""}, CensusCase{{"", ""}, 0, false, ""},
                      CensusCase{{"DeskScan II"}, 1, false, "DeskScan II"},
                      CensusCase{{"my deskscan", "x"}, 1, false, "my deskscan"},
                      CensusCase{{"A DESKSCAN window"}, 1, false, "A DESKSCAN window"},
                      CensusCase{{"Save As"}, 0, true, ""}, CensusCase{{"SAVE AS..."}, 0, true, ""},
                      CensusCase{{"SaveAs", "Save  As", "Desk Scan"}, 0, false, ""},
                      CensusCase{{"DeskScan: save as"}, 1, true, "DeskScan: save as"},
                      // The text of Combo1 ends as the DeskScan title that comes last in z-order.
                      CensusCase{{"DeskScan B", "Editor", "DeskScan A"}, 2, false, "DeskScan B"},
                      CensusCase{
                          {"DeskScan II", "DeskScan II", "Save As"}, 2, true, "DeskScan II"}));

TEST(CensusTest, PumpsOncePerWindowAndRepeatsExactly) {
  Rig rig;
  rig.scanner->Start();
  int pumps = 0;
  rig.host.on_pump = [&] { ++pumps; };
  rig.form.LoadTaskList();
  EXPECT_EQ(pumps, 3);  // operator window, terminal, DeskScan II
  const auto first = rig.controls()[ControlId::kCombo1].items;
  rig.form.Command4_Click();
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items, first);
  EXPECT_EQ(rig.state().DeskScanCount, 1);
}

TEST(CensusTest, AWindowGoneBeforeItsTitleIsSkipped) {
  Rig rig;
  rig.scanner->Start();
  rig.desktop.VanishDuringNextCensus();
  rig.form.LoadTaskList();
  EXPECT_EQ(rig.desktop.Faults().windows_vanished, 1);
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items.size(), 3u);
  EXPECT_EQ(rig.state().DeskScanCount, 1);
}

TEST(CensusTest, ReloadDuringACensusDoesNotDoubleCount) {
  Rig rig;
  rig.scanner->Start();
  rig.desktop.OpenWindow("DeskScan Error");
  int pumps = 0;
  rig.host.on_pump = [&] {
    if (++pumps == 2) rig.form.Command4_Click();  // the operator presses "ReLoad Task List"
  };
  rig.form.LoadTaskList();
  EXPECT_EQ(rig.state().DeskScanCount, 2);
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items.size(), 4u);
}

TEST(CensusTest, ReloadChangesNoFlagAndNoStatusLine) {
  Rig rig;
  rig.state().Running = true;
  rig.state().AwaitingSaveAs = true;
  rig.form.Meter(4, "Verifying Last Save", 0);
  rig.form.Command4_Click();
  EXPECT_TRUE(rig.state().Running);
  EXPECT_TRUE(rig.state().AwaitingSaveAs);
  EXPECT_TRUE(rig.LineIsRed(4));
  EXPECT_EQ(rig.controls().Text(DelayText(4)), "Verifying Last Save");
}

}  // namespace
}  // namespace quorvel::harness
