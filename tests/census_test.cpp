// The window census: what the cycle sees of the desktop.
#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

TEST(CensusTest, CountsAndListsTitles) {
  const struct {
    std::vector<std::string> titles;  // opened in this order, so the last is topmost
    int deskscan_count;
    bool save_as_present;
    std::string combo_text;
  } cases[] = {
      {{}, 0, false, ""},
      {{"", ""}, 0, false, ""},
      {{"my deskscan", "x"}, 1, false, "my deskscan"},
      {{"A DESKSCAN window"}, 1, false, "A DESKSCAN window"},
      {{"SAVE AS..."}, 0, true, ""},
      {{"SaveAs", "Save  As", "Desk Scan"}, 0, false, ""},
      {{"DeskScan: save as"}, 1, true, "DeskScan: save as"},
      // The text of Combo1 ends as the DeskScan title that comes last in z-order.
      {{"DeskScan B", "Editor", "DeskScan A"}, 2, false, "DeskScan B"},
  };
  for (const auto& c : cases) {
    VirtualClock clock;
    SimulatedDesktop desktop(clock);
    MemoryFileSystem files([] { return WallClock::now(); }, PathOf({"p"}));
    HeadlessHost host(clock);
    ScannerForm form(desktop, files, host);
    for (const std::string& title : c.titles) desktop.OpenWindow(title);
    form.Automation().LoadTaskList();
    EXPECT_EQ(form.State().DeskScanCount, c.deskscan_count) << c.titles.size();
    EXPECT_EQ(form.State().SaveAsPresent, c.save_as_present);
    EXPECT_EQ(form.Controls().Text(ControlId::kCombo1), c.combo_text);
    std::vector<std::string> listed;
    for (auto it = c.titles.rbegin(); it != c.titles.rend(); ++it) {
      if (!it->empty()) listed.push_back(*it);
    }
    EXPECT_EQ(form.Controls()[ControlId::kCombo1].items, listed);
  }
}

TEST(CensusTest, PumpsOncePerWindowAndRepeatsExactly) {
  Rig rig;
  rig.scanner->Start();
  int pumps = 0;
  rig.host.on_pump = [&] { ++pumps; };
  rig.cycle().LoadTaskList();
  EXPECT_EQ(pumps, 3);  // operator window, terminal, DeskScan II
  const auto first = rig.controls()[ControlId::kCombo1].items;
  rig.Click(ControlId::kCommand4);  // "ReLoad Task List"
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items, first);
  EXPECT_EQ(rig.state().DeskScanCount, 1);
}

TEST(CensusTest, AWindowGoneBeforeItsTitleIsSkipped) {
  Rig rig;
  rig.scanner->Start();
  rig.desktop.VanishDuringNextCensus();
  rig.cycle().LoadTaskList();
  EXPECT_EQ(rig.desktop.Faults().windows_vanished, 1);
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items.size(), 3u);
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
