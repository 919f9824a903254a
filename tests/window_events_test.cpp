#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/folder_lists.h"
#include "tests/rig.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using harness::Rig;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The last three lines of a written settings file.
std::string Entries(const fs::path& path) {
  const std::string text = ReadFile(path);
  const std::size_t top = text.find("top=");
  return top == std::string::npos ? std::string() : text.substr(top);
}

fs::path IniOf(Rig& rig) {
  return rig.folder.path() / "Quorvel.ini";
}

TEST(WindowEventsTest, LoadTakesTheCensusThenClearsTheFlagsThenReadsTheSettings) {
  Rig rig;
  rig.scanner->Start();
  rig.state().Running = true;
  rig.state().AwaitingSaveAs = true;
  rig.state().NextNameIndex = 7;
  rig.state().Delay = 0;
  struct Seen {
    bool running, awaiting, settings_file;
  };
  std::vector<Seen> during_census;
  rig.host.on_pump = [&] {
    during_census.push_back(
        {rig.state().Running, rig.state().AwaitingSaveAs, fs::exists(IniOf(rig))});
  };
  rig.form.Form_Load();
  ASSERT_FALSE(during_census.empty());  // the census pumps once per window
  for (const Seen& seen : during_census) {
    EXPECT_TRUE(seen.running && seen.awaiting);
    EXPECT_FALSE(seen.settings_file);
  }
  EXPECT_EQ(rig.state().DeskScanCount, 1);
  EXPECT_FALSE(rig.state().Running);
  EXPECT_FALSE(rig.state().AwaitingSaveAs);
  EXPECT_EQ(rig.state().NextNameIndex, 0);
  EXPECT_EQ(rig.state().Delay, 18000);
  EXPECT_EQ(Entries(IniOf(rig)), "top=1500\r\nleft=2250\r\ndelay=18000\r\n");
}

TEST(WindowEventsTest, LoadRestoresThePositionAndThePause) {
  Rig rig;
  std::ofstream(IniOf(rig), std::ios::binary) << "top=300\r\nleft=450\r\ndelay=5000\r\n";
  rig.state().Delay = 0;
  rig.form.Form_Load();
  EXPECT_EQ(rig.host.GetWindowPosition().top, 300);
  EXPECT_EQ(rig.host.GetWindowPosition().left, 450);
  EXPECT_EQ(rig.state().Delay, 5000);
  EXPECT_FALSE(rig.state().Running);
}

TEST(WindowEventsTest, ReloadTaskListOnlyRefreshesTheCensus) {
  Rig rig;
  rig.state().Running = true;
  rig.state().AwaitingSaveAs = true;
  rig.desktop.OpenWindow("DeskScan II");
  rig.form.Command4_Click();
  EXPECT_EQ(rig.state().DeskScanCount, 1);
  EXPECT_TRUE(rig.state().Running);
  EXPECT_TRUE(rig.state().AwaitingSaveAs);
  EXPECT_TRUE(rig.steps.empty());
  EXPECT_EQ(rig.controls().Text(ControlId::kCombo1), "DeskScan II");
}

// After the program has ended nothing writes the settings again, and no timer or event runs.
void ExpectNothingRunsAfterTheEnd(Rig& rig) {
  ASSERT_TRUE(rig.host.QuitRequested());
  fs::remove(IniOf(rig));
  int pumps = 0;
  int pickers = 0;
  rig.host.on_pump = [&] { ++pumps; };
  rig.host.on_modal = [&](SaveDirForm&) { ++pickers; };
  rig.form.Form_Terminate();
  rig.form.ExitCommand_Click();
  rig.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);
  rig.clock.Advance(60000);
  EXPECT_FALSE(fs::exists(IniOf(rig)));
  EXPECT_EQ(pumps, 0);
  EXPECT_EQ(pickers, 0);
}

TEST(WindowEventsTest, ExitWritesTheSettingsOnceAndEndsAtOnce) {
  Rig rig;
  rig.form.Form_Load();
  rig.host.MoveWindow({600, 900});
  rig.state().Delay = 1234;
  rig.form.ExitCommand_Click();
  EXPECT_EQ(Entries(IniOf(rig)), "top=600\r\nleft=900\r\ndelay=1234\r\n");
  ExpectNothingRunsAfterTheEnd(rig);
}

TEST(WindowEventsTest, ExitDuringAPauseDoesNotWaitForIt) {
  Rig rig;
  rig.form.Form_Load();
  rig.form.Meter(9, "Pausing for next scan", 18000);
  ASSERT_TRUE(rig.state().Pausing);
  rig.form.ExitCommand_Click();
  rig.clock.Advance(20000);
  EXPECT_TRUE(rig.state().Pausing) << "the pause timer fired after the end";
  ExpectNothingRunsAfterTheEnd(rig);
}

TEST(WindowEventsTest, ExitInTheMiddleOfATickEndsTheTickToo) {
  Rig rig;
  rig.form.Form_Load();
  rig.scanner->Start();
  rig.SetNames({"a", "b"});
  rig.form.StartCommand_Click();
  bool clicked = false;
  rig.host.on_pump = [&] {
    if (clicked) return;
    clicked = true;
    rig.form.ExitCommand_Click();
    fs::remove(IniOf(rig));  // a second write would bring it back
  };
  rig.steps.clear();
  rig.clock.Advance(2500);
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(rig.steps.empty()) << "the tick went on after EXIT";
  EXPECT_FALSE(fs::exists(IniOf(rig)));
  ExpectNothingRunsAfterTheEnd(rig);
}

TEST(WindowEventsTest, ExitWhoseWriteFailsSaysSoAndStillEnds) {
  Rig rig;
  rig.form.Form_Load();
  fs::remove(IniOf(rig));
  fs::create_directories(IniOf(rig) / "x");
  rig.form.ExitCommand_Click();
  ASSERT_EQ(rig.host.Messages().size(), 1u);
  EXPECT_NE(rig.host.Messages()[0].find("could not be saved to \"" + IniOf(rig).string()),
            std::string::npos);
  EXPECT_TRUE(rig.host.QuitRequested());
}

TEST(WindowEventsTest, CloseCommandWritesThePositionAtClosingAndEnds) {
  Rig rig;
  rig.form.Form_Load();
  rig.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);  // picker made
  ASSERT_NE(rig.form.Picker(), nullptr);
  rig.host.MoveWindow({45, 30});
  rig.form.Form_Terminate();
  EXPECT_EQ(Entries(IniOf(rig)), "top=45\r\nleft=30\r\ndelay=18000\r\n");
  EXPECT_FALSE(rig.form.Picker()->Visible());
  ExpectNothingRunsAfterTheEnd(rig);
}

TEST(WindowEventsTest, OnlyLeavingTheSeedFilenameForTheOperatorWindowOpensThePicker) {
  const struct {
    ControlId from, to;
    bool opens;
  } cases[] = {
      {ControlId::kSeedText, ControlId::kSeedNumberText, true},
      {ControlId::kSeedText, ControlId::kExitCommand, true},
      {ControlId::kSeedText, Option1(5), true},
      {ControlId::kSeedText, ControlId::kNone, false},      // another program took the focus
      {ControlId::kSeedText, ControlId::kCommand1, false},  // the picker's own button
      {ControlId::kSeedText, ControlId::kDrive1, false},
      {ControlId::kSeedText, ControlId::kSeedText, false},
      {ControlId::kSeedNumberText, ControlId::kSeedText, false},
      {ControlId::kPadText, ControlId::kNumberofScans, false},
      {ControlId::kNone, ControlId::kSeedNumberText, false},
  };
  for (const auto& c : cases) {
    Rig rig;
    int shown = 0;
    rig.host.on_modal = [&](SaveDirForm&) { ++shown; };
    rig.form.FocusChanged(c.from, c.to);
    EXPECT_EQ(shown, c.opens ? 1 : 0) << Index(c.from) << " -> " << Index(c.to);
    EXPECT_EQ(rig.state().SaveFolder, c.opens ? WorkingFolder() : rig.folder.str())
        << "SaveFolder changes only when the picker opened";
  }
}

}  // namespace
}  // namespace quorvel
