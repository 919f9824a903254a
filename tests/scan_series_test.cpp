// Whole series on the stand-in scanning application, in virtual time.
#include <gtest/gtest.h>

#include <map>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

// The keys every window received, by title, in the order they arrived.
std::map<std::string, std::string> KeysByTitle(const SimulatedDesktop& desktop) {
  std::map<std::string, std::string> keys;
  for (const KeyLogEntry& entry : desktop.KeyLog()) {
    std::string& text = keys[entry.title];
    if (entry.key.kind == Key::Kind::kAltChord) text.push_back('%');
    AppendUtf8(text, entry.key.character);
  }
  return keys;
}

TEST(ScanSeriesTest, FullAutoSavesEveryPageUnderItsName) {
  Rig rig({.pages = 21});
  rig.controls().SetText(ControlId::kNumberofScans, "20");
  rig.StartSeries(Names(20));
  rig.RunUntilStopped(kHour);
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(rig.scanner->SavedNames(), Names(20));
  for (const std::string& name : Names(20)) EXPECT_TRUE(rig.files.FileExists(rig.ImagePath(name)));
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), "");
  // The 21st page ends the list: its dialog gets no keys.
  std::map<std::string, std::string> keys{{"DeskScan II", ""}, {"DeskScan Error", "\r"}};
  for (const std::string& name : Names(20)) {
    keys["DeskScan II"] += std::string(13, '\t') + "%n";
    keys["DeskScan Error"] += "\r";
    keys["Save As"] += "%n" + name + "%s";
  }
  keys["DeskScan II"] += std::string(13, '\t') + "%n";
  EXPECT_EQ(KeysByTitle(rig.desktop), keys);
  EXPECT_FALSE(rig.desktop.AltHeld());
}

// Keys that arrive but are reported lost, at each delivery of a page: the series goes on as if
// they had been reported, and every name is saved once.
TEST(ScanSeriesTest, KeysReportedLostAfterArrivingChangeNothing) {
  auto run = [](int lost_after_line) {
    Rig rig({.pages = 5});
    rig.StartSeries(Names(4));
    rig.host.on_pump = [&rig, lost_after_line, armed = lost_after_line >= 0]() mutable {
      if (armed && rig.scanner->Counts().saves == 1 && rig.LineIsRed(lost_after_line)) {
        rig.desktop.ReportNextDeliveryLost();
        armed = false;
      }
    };
    rig.RunUntilStopped(kHour);
    EXPECT_EQ(rig.desktop.Faults().reported_lost, lost_after_line < 0 ? 0 : 1);
    EXPECT_EQ(rig.scanner->SavedNames(), Names(4)) << "lost after line " << lost_after_line;
    return KeysByTitle(rig.desktop);
  };
  const auto clean = run(-1);
  for (int line : {1, 3, 7}) EXPECT_EQ(run(line), clean) << "lost after line " << line;
}

TEST(ScanSeriesTest, ANameThatNeverSticksStopsTheSeriesAfterFourDialogs) {
  Rig rig({.pages = 8, .save_failure = 1});
  rig.StartSeries(Names(3));
  rig.RunUntilStopped(kHour);
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(KeysByTitle(rig.desktop)["Save As"], "%npage01%s%npage01%s%npage01%s%npage01%s");
  EXPECT_EQ(rig.host.Messages(),
            std::vector<std::string>{
                "The image of \"page01\" never appeared: the name was sent 4 times, "
                "and the last look at " +
                rig.scanner->SavePath("page01") + " found: no such file. The series has stopped."});
}

}  // namespace
}  // namespace quorvel::harness
