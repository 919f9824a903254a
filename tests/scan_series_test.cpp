// Whole series on the stand-in scanning application, in virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

constexpr VirtualClock::Ms kHour = 60LL * 60 * 1000;
const std::string kFinalButton = std::string(13, '\t') + "%n";

std::vector<std::string> Names(int count, const char* stem = "page") {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back(stem + std::to_string(100 + i).substr(1));
  return names;
}

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

// The second save of the series writes nothing.
void FailSecondSave(Rig& rig) {
  rig.host.on_pump = [&rig] {
    if (rig.scanner->Counts().saves == 1 && rig.scanner->Counts().saves_failed == 0) {
      rig.scanner->FailNextSave();
    }
  };
}

TEST(ScanSeriesTest, FullAutoSavesEveryPageUnderItsName) {
  const auto names = Names(20);
  Rig rig({.pages = 21});
  rig.scanner->Start();
  rig.SetNames(names);
  rig.controls().SetText(ControlId::kNumberofScans, "20");
  rig.Click(ControlId::kStartCommand);
  rig.RunUntilStopped(kHour);

  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(rig.scanner->SavedNames(), names);
  for (const std::string& name : names) EXPECT_TRUE(rig.files.FileExists(rig.ImagePath(name)));
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), "");
  std::string main_keys, dialog_keys, error_keys;
  for (const std::string& name : names) {
    main_keys += kFinalButton;
    dialog_keys += "%n" + name + "%s";
    error_keys += "\r";
  }
  main_keys += kFinalButton;  // the 21st page ends the list: its dialog gets no keys
  error_keys += "\r";
  EXPECT_EQ(
      KeysByTitle(rig.desktop),
      (std::map<std::string, std::string>{
          {"DeskScan II", main_keys}, {"DeskScan Error", error_keys}, {"Save As", dialog_keys}}));
  EXPECT_FALSE(rig.desktop.AltHeld());
}

// Keys that arrive but are reported lost, at each delivery of a page: the series goes on as if
// they had been reported, and every name is saved once.
TEST(ScanSeriesTest, KeysReportedLostAfterArrivingChangeNothing) {
  const auto names = Names(4);
  auto run = [&](int lost_after_line) {
    Rig rig({.pages = 5});
    rig.scanner->Start();
    rig.SetNames(names);
    rig.Click(ControlId::kStartCommand);
    rig.host.on_pump = [&rig, lost_after_line, armed = lost_after_line >= 0]() mutable {
      if (armed && rig.scanner->Counts().saves == 1 && rig.LineIsRed(lost_after_line)) {
        rig.desktop.ReportNextDeliveryLost();
        armed = false;
      }
    };
    rig.RunUntilStopped(kHour);
    EXPECT_EQ(rig.desktop.Faults().reported_lost, lost_after_line < 0 ? 0 : 1);
    EXPECT_EQ(rig.scanner->SavedNames(), names) << "lost after line " << lost_after_line;
    return KeysByTitle(rig.desktop);
  };
  const auto clean = run(-1);
  for (int line : {1, 3, 7}) EXPECT_EQ(run(line), clean) << "lost after line " << line;
}

TEST(ScanSeriesTest, ADialogCancelledByTheOperatorGetsItsNameInTheNext) {
  const auto names = Names(3);
  Rig rig({.pages = 5, .cancel_after_ms = 300});
  rig.scanner->Start();
  rig.SetNames(names);
  rig.Click(ControlId::kStartCommand);
  rig.host.on_pump = [&rig] {
    if (rig.scanner->Counts().saves == 1 && rig.scanner->Counts().dialogs_cancelled == 0) {
      rig.scanner->CancelNextDialog();
    }
  };
  std::vector<std::string> line5;
  rig.host.on_repaint = [&](ControlId id) {
    if (id == DelayText(5)) line5.push_back(rig.controls().Text(id));
  };
  rig.RunUntilStopped(kHour);
  EXPECT_EQ(rig.scanner->Counts().dialogs_cancelled, 1);
  EXPECT_EQ(rig.scanner->SavedNames(), names);
  EXPECT_EQ(std::count(line5.begin(), line5.end(), "Save As missed"), 1);
}

TEST(ScanSeriesTest, ANameThatNeverSticksStopsTheSeriesAfterFourDialogs) {
  Rig rig({.pages = 8, .save_failure = 1});
  rig.scanner->Start();
  rig.SetNames(Names(3));
  rig.Click(ControlId::kStartCommand);
  rig.RunUntilStopped(kHour);
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(KeysByTitle(rig.desktop)["Save As"], "%npage01%s%npage01%s%npage01%s%npage01%s");
  EXPECT_EQ(rig.host.Messages(),
            std::vector<std::string>{
                "The image of \"page01\" never appeared: the name was sent 4 times, "
                "and the last look at " +
                rig.scanner->SavePath("page01") + " found: no such file. The series has stopped."});
}

TEST(ScanSeriesTest, AnImageLeftFromAnEarlierRunDoesNotConfirmTheSave) {
  const auto names = Names(3);
  Rig rig({.pages = 5});
  rig.files.PutFile(rig.ImagePath("page02"), "old", rig.desktop.Now() - std::chrono::hours(24));
  rig.host.on_ask = [](const std::string&) { return true; };  // replace it, says the operator
  rig.scanner->Start();
  rig.SetNames(names);
  rig.Click(ControlId::kStartCommand);
  FailSecondSave(rig);
  rig.RunUntilStopped(kHour);
  EXPECT_EQ(rig.scanner->SavedNames(), names);  // page02 was written by this run after all
}

}  // namespace
}  // namespace quorvel::harness
