// The window census: what the cycle sees of the desktop.
#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

// The text of Combo1 ends as the DeskScan title that comes last in z-order; the list holds every
// title but the empty ones, topmost first, down to the terminal and the operator window.
TEST(CensusTest, CountsAndListsTitles) {
  const struct {
    std::vector<std::string> titles;  // opened in this order, so the last is topmost
    int deskscan_count;
    bool save_as_present;
    std::string combo_text;
  } cases[] = {
      {{"", ""}, 0, false, ""},
      {{"my deskscan", "x"}, 1, false, "my deskscan"},
      {{"A DESKSCAN window"}, 1, false, "A DESKSCAN window"},
      {{"SAVE AS..."}, 0, true, ""},
      {{"SaveAs", "Save  As", "Desk Scan"}, 0, false, ""},
      {{"DeskScan: save as"}, 1, true, "DeskScan: save as"},
      {{"DeskScan B", "Editor", "DeskScan A"}, 2, false, "DeskScan B"},
  };
  for (const auto& c : cases) {
    Rig rig;
    for (const std::string& title : c.titles) rig.desktop.OpenWindow(title);
    rig.cycle().LoadTaskList();
    EXPECT_EQ(rig.state().DeskScanCount, c.deskscan_count) << Joined(c.titles);
    EXPECT_EQ(rig.state().SaveAsPresent, c.save_as_present);
    EXPECT_EQ(rig.controls().Text(ControlId::kCombo1), c.combo_text);
    std::vector<std::string> listed(c.titles.rbegin(), c.titles.rend());
    std::erase(listed, "");
    listed.insert(listed.end(), {"Terminal", ScannerFormLayout().caption});
    EXPECT_EQ(rig.controls()[ControlId::kCombo1].items, listed);
  }
}

TEST(CensusTest, PumpsOncePerWindowRepeatsExactlyAndSkipsAWindowGoneBeforeItsTitle) {
  Rig rig;
  rig.scanner->Start();
  int pumps = 0;
  rig.host.on_pump = [&] { ++pumps; };
  rig.cycle().LoadTaskList();
  EXPECT_EQ(pumps, 3);  // operator window, terminal, DeskScan II
  const auto first = rig.controls()[ControlId::kCombo1].items;
  rig.Click(ControlId::kCommand4);  // "ReLoad Task List"
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items, first);
  rig.desktop.VanishDuringNextCensus();
  rig.cycle().LoadTaskList();
  EXPECT_EQ(rig.desktop.Faults().windows_vanished, 1);
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items, first);
  EXPECT_EQ(rig.state().DeskScanCount, 1);
}

TEST(CensusTest, ReloadDuringACensusNeitherDoubleCountsNorTouchesTheRun) {
  Rig rig;
  rig.scanner->Start();
  rig.desktop.OpenWindow("DeskScan Error");
  rig.state().Running = true;
  rig.state().AwaitingSaveAs = true;
  rig.cycle().Meter(4, "Verifying Last Save", 0);
  int pumps = 0;
  rig.host.on_pump = [&] {
    if (++pumps == 2) rig.Click(ControlId::kCommand4);
  };
  rig.cycle().LoadTaskList();
  EXPECT_EQ(rig.state().DeskScanCount, 2);
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items.size(), 4u);
  EXPECT_TRUE(rig.state().Running);
  EXPECT_TRUE(rig.state().AwaitingSaveAs);
  EXPECT_TRUE(rig.LineIsRed(4));
}

}  // namespace
}  // namespace quorvel::harness
