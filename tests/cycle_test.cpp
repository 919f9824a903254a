// The automation cycle one tick at a time, on a desktop whose windows the test opens itself.
#include <gtest/gtest.h>

#include "sim/bmp_file.h"
#include "tests/rig.h"

namespace quorvel::harness {
namespace {

const std::string kFinal = std::string(13, '\t') + "%n";
using Texts = std::vector<std::string>;

class CycleTest : public ::testing::Test {
 protected:
  CycleTest() {
    rig_.host.on_ask = [](const std::string&) { return true; };  // start even over images
    main_ = rig_.desktop.OpenWindow("DeskScan II");
    rig_.controls().SetText(ControlId::kNumberofScans, "5");
  }
  WindowHandle OpenErrorBox() {
    return rig_.desktop.OpenWindow("DeskScan Error", main_, [this](WindowHandle w, const Key& k) {
      if (k.kind == Key::Kind::kEnter) rig_.desktop.CloseWindow(w);
    });
  }
  WindowHandle OpenSaveAs() { return rig_.desktop.OpenWindow("Save As", main_); }
  // Running and awaiting the dialog, with these names queued and `last` the name sent before.
  void AwaitSaveAs(const Texts& names, const std::string& last = "") {
    rig_.SetNames(names);
    rig_.Click(ControlId::kStartCommand);
    Await();
    rig_.state().LastFilename = last;
    looks_ = rig_.files.FilesLookedFor().size();
  }
  void Await() {
    rig_.state().AwaitingSaveAs = true;
    rig_.state().Pausing = false;
  }
  void WriteImage(const std::string& name) {
    rig_.files.PutFile(rig_.ImagePath(name), SmallBmp(1));
  }
  // The images the cycle looked for since the names were queued.
  Texts ImagesLookedFor() {
    Texts images;
    const auto& looked = rig_.files.FilesLookedFor();
    for (std::size_t i = looks_; i < looked.size(); ++i) {
      if (looked[i].ends_with(".bmp")) images.push_back(looked[i]);
    }
    return images;
  }
  // Every delivery as "target:keys", with "+" when it waited for the keys to be taken.
  Texts Sent() {
    Texts sent;
    for (const DeliveryLogEntry& e : rig_.desktop.DeliveryLog()) {
      sent.push_back(e.target + ":" + e.keys + (e.wait ? "+" : ""));
    }
    return sent;
  }
  // The next tick's status lines: their numbers, or each number and text followed by "|".
  std::string Tick(bool texts = false) {
    std::string shown;
    for (const auto& [line, text] : rig_.NextTick()) {
      shown += std::to_string(line) + (texts ? " " + text + "|" : "");
    }
    return shown;
  }
  // The names Filenames shows, each followed by "|".
  std::string Listed() {
    std::string text = rig_.controls().Text(ControlId::kFilenames);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "|");
    return text;
  }

  Rig rig_;
  WindowHandle main_ = 0;
  std::size_t looks_ = 0;
};

// Idle or paused, a tick only pumps; running, one DeskScan window waits and three do nothing.
TEST_F(CycleTest, IdleOrPausedTicksOnlyPumpAndOnlyTwoWindowsAreAnErrorBox) {
  const WindowHandle box = OpenErrorBox();
  const WindowHandle help = rig_.desktop.OpenWindow("DeskScan Help");
  EXPECT_TRUE(rig_.NextTick().empty());
  rig_.Click(ControlId::kStartCommand);
  rig_.cycle().Meter(9, "Waiting", 60000);
  EXPECT_TRUE(rig_.NextTick().empty());
  EXPECT_TRUE(rig_.controls()[ControlId::kCombo1].items.empty());  // no census was taken
  rig_.state().Pausing = false;
  EXPECT_TRUE(rig_.NextTick().empty());
  EXPECT_EQ(rig_.state().DeskScanCount, 3);
  rig_.desktop.CloseWindow(box);
  rig_.desktop.CloseWindow(help);
  EXPECT_EQ(Tick(true), "0 Waiting for Error|");
  EXPECT_TRUE(Sent().empty());
}

TEST_F(CycleTest, ErrorStageClosesTheBoxAndPressesTheFinalButton) {
  rig_.Click(ControlId::kStartCommand);
  OpenErrorBox();
  EXPECT_EQ(Tick(), "123");
  EXPECT_EQ(Sent(), (Texts{"DeskScan II:\r+", "DeskScan II:" + kFinal + "+"}));
  EXPECT_EQ(rig_.KeysTo(main_), kFinal);
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
}

TEST_F(CycleTest, ErrorOnlyClosesTheBoxAndNeverAwaitsSaveAs) {
  rig_.SetMode(ActionMode::ErrorOnly);
  rig_.Click(ControlId::kStartCommand);
  OpenErrorBox();
  EXPECT_EQ(Tick(), "12");
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(Tick(), "0");
  EXPECT_EQ(Sent(), Texts{"DeskScan II:\r+"});
}

TEST_F(CycleTest, FirstSaveSendsTheFirstNameWithoutLookingForAFile) {
  AwaitSaveAs({"a1", "a2"});
  OpenSaveAs();
  EXPECT_EQ(Tick(true),
            "4 First Save in Series|5 Finding Save As|6 Found Save As|7 Sending filename...|8 Sent "
            "filename & CR|9 Waiting|");
  EXPECT_TRUE(ImagesLookedFor().empty());
  EXPECT_EQ(Sent(), Texts{"Save As:%na1%s+"});
  EXPECT_EQ(rig_.state().LastFilename, "a1");
  EXPECT_EQ(rig_.controls().Text(ControlId::kFilenames), "a2\r\n");
  EXPECT_EQ(rig_.controls().Text(ControlId::kSendLabel), "Sending: a1");
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
}

TEST_F(CycleTest, PresentImageConfirmsAndAMissingOneSendsTheSameNameAgain) {
  AwaitSaveAs({"a1", "a2", "a3"}, "a0");
  OpenSaveAs();
  rig_.controls().SetText(ControlId::kFilenames, "as typed");
  rig_.NextTick();
  EXPECT_EQ(ImagesLookedFor().front(), rig_.ImagePath("a0"));
  EXPECT_EQ(Sent(), Texts{"Save As:%na0%s+"});
  EXPECT_EQ(rig_.state().NextNameIndex, 0);
  EXPECT_EQ(Listed(), "as typed");

  WriteImage("a0");
  AwaitSaveAs({"a1", "a2", "a3"}, "a0");
  EXPECT_EQ(Tick(true).substr(0, 22), "4 Verifying Last Save|");
  EXPECT_EQ(Sent().back(), "Save As:%na1%s+");
  EXPECT_EQ(Listed(), "a2|a3|");
}

// A disk that stamps files to two seconds may date a save up to two seconds before its name was
// sent; older than that, the image is left from an earlier run.
TEST_F(CycleTest, AnImageCountsFromTwoSecondsBeforeItsNameWasSent) {
  for (const auto& [age_ms, sent] : {std::pair{1900, "a2"}, std::pair{2100, "a1"}}) {
    AwaitSaveAs({"a1", "a2"});
    const WindowHandle dialog = OpenSaveAs();
    rig_.NextTick();  // a1 goes
    rig_.desktop.CloseWindow(dialog);
    rig_.files.PutFile(rig_.ImagePath("a1"), SmallBmp(1),
                       rig_.desktop.Now() - std::chrono::milliseconds(age_ms));
    Await();
    OpenSaveAs();
    rig_.NextTick();
    EXPECT_EQ(Sent().back(), "Save As:%n" + std::string(sent) + "%s+") << age_ms;
  }
}

TEST_F(CycleTest, ImagePathIsJoinedPlainly) {
  const std::string sep(1, kPathSeparator);
  OpenSaveAs();
  for (const auto& [folder, expected] : {std::pair{std::string(), sep + "a0.bmp"},
                                         std::pair{"x" + sep, "x" + sep + sep + "a0.bmp"}}) {
    AwaitSaveAs({"a1"}, "a0");
    rig_.state().SaveFolder = folder;
    rig_.NextTick();
    EXPECT_EQ(ImagesLookedFor().back(), expected);
  }
}

TEST_F(CycleTest, PauseAfterEachKindOfSend) {
  const struct {
    ActionMode mode;
    std::int32_t delay;
    int pause;
    std::string label, sent;
  } cases[] = {{ActionMode::FullAuto, 5000, 5000, "5000", "Save As:%na1%s+"},
               {ActionMode::FullAuto, -1, 2000, "", "Save As:%na1%s+"},
               {ActionMode::ErrorAndSaveAs, 5000, 2000, "2000", "Save As:%na1"}};
  OpenSaveAs();
  for (const auto& c : cases) {
    rig_.SetMode(c.mode);
    AwaitSaveAs({"a1"});
    rig_.state().Delay = c.delay;
    rig_.NextTick();
    EXPECT_TRUE(rig_.state().Pausing);
    EXPECT_EQ(rig_.controls()[ControlId::kSleepTimer].interval_ms, c.pause);
    EXPECT_EQ(rig_.controls().Text(ControlId::kSleepLabel), c.label);
    EXPECT_EQ(Sent().back(), c.sent);
  }
}

TEST_F(CycleTest, ErrorOnlyChosenWhileAwaitingTakesANameAndSendsNoKeys) {
  AwaitSaveAs({"a1", "a2"});
  const WindowHandle dialog = OpenSaveAs();
  rig_.desktop.SetForeground(rig_.terminal);
  rig_.SetMode(ActionMode::ErrorOnly);
  EXPECT_EQ(Tick(), "4567");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(rig_.desktop.Foreground(), dialog);  // "Save As" was activated
  EXPECT_EQ(rig_.controls().Text(ControlId::kSendLabel), "Sending: a1");
  EXPECT_EQ(rig_.state().NextNameIndex, 1);
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.controls()[ControlId::kSleepTimer].interval_ms, 500);
}

// A name taken in Error Only is judged, once Full Auto is back, by the time it was taken: an
// image of that name left from before then does not confirm it.
TEST_F(CycleTest, ANameTakenInErrorOnlyIsJudgedFromTheTimeItWasTaken) {
  AwaitSaveAs({"a1", "a2", "a3"});
  OpenSaveAs();
  rig_.NextTick();  // a1 goes in Full Auto
  WriteImage("a1");
  rig_.clock.Advance(60000);
  WriteImage("a2");  // left from an earlier run
  rig_.clock.Advance(60000);
  rig_.SetMode(ActionMode::ErrorOnly);
  rig_.state().AwaitingSaveAs = true;
  rig_.NextTick();  // a2 is taken; the operator saves it, or not
  ASSERT_EQ(rig_.state().LastFilename, "a2");
  rig_.SetMode(ActionMode::FullAuto);
  Await();
  rig_.NextTick();
  EXPECT_EQ(Sent(), (Texts{"Save As:%na1%s+", "Save As:%na2%s+"}));
}

TEST_F(CycleTest, EndOfTheListStopsFullAutoAndSendsAnEmptyNameOtherwise) {
  OpenSaveAs();
  AwaitSaveAs({});
  EXPECT_EQ(Tick(), "456");
  EXPECT_FALSE(rig_.state().Running);
  for (int line = 0; line < kStatusLines; ++line) EXPECT_FALSE(rig_.LineIsRed(line));
  EXPECT_EQ(Listed(), "");
  EXPECT_TRUE(Sent().empty());

  rig_.SetMode(ActionMode::ErrorAndSaveAs);
  AwaitSaveAs({});
  EXPECT_EQ(Tick(), "45678");
  EXPECT_EQ(rig_.controls().Text(ControlId::kSendLabel), "Sending: ");
  EXPECT_EQ(Sent(), Texts{"Save As:%n"});
  EXPECT_TRUE(rig_.state().Running);
}

// The next index (1) plus the number of scans, rounded half to even: 1.5 and 2.5 both reach
// slot 2, 3.5 slot 4.
TEST_F(CycleTest, RewriteShowsTheNamesUpToTheNextIndexPlusTheNumberOfScans) {
  const std::pair<const char*, const char*> cases[] = {
      {"3", "a2|a3|a4|a5|"},     {"none", "a2|"},   {"-5", ""},
      {"0.5", "a2|a3|"},         {"1.5", "a2|a3|"}, {"2.5", "a2|a3|a4|a5|"},
      {"1e9", "a2|a3|a4|a5|a6|"}};
  OpenSaveAs();
  for (const auto& [scans, shown] : cases) {
    AwaitSaveAs({"a1", "a2", "a3", "a4", "a5", "a6"});
    rig_.controls().SetText(ControlId::kNumberofScans, scans);
    rig_.NextTick();
    EXPECT_EQ(Listed(), shown) << scans;
  }
}

TEST_F(CycleTest, NoDialogYetRepeatsTheCheckAndNoSlotPastTheLastIsRead) {
  AwaitSaveAs({"a1"}, "a0");
  WriteImage("a0");
  for (int tick = 0; tick < 3; ++tick) {
    EXPECT_EQ(Tick(), "45");
    EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  }
  EXPECT_EQ(ImagesLookedFor().size(), 3u);

  rig_.state().NextNameIndex = kPendingNameSlots;
  OpenSaveAs();
  rig_.NextTick();
  EXPECT_FALSE(rig_.state().Running);  // past the queue every slot is empty
  EXPECT_TRUE(Sent().empty());
}

// The save dialog in another language: the scanning application's own common file dialog, a
// title of the table, or the operator's; a window that only looks like one is not counted.
TEST(SaveDialogTest, IsKnownInAnyLanguageWhenTheScanningApplicationOwnsIt) {
  using Captions = DesktopPort::FileDialogCaptions;
  const struct {
    std::string title;
    bool owned;
    std::optional<Captions> captions;
    SaveDialogOptions options;
    std::string keys;  // what the dialog receives; "" when it is not taken for the dialog
  } cases[] = {
      {"Enregistrer", true, {}, {}, "%na1%e"},
      {"Enregistrer", false, {}, {}, ""},
      {"Guardar como", true, {}, {}, "%aa1%g"},
      {"Sauver", true, Captions{"&Nom du fichier :", "&Enregistrer"}, {}, "%na1%e"},
      {"Sauver", true, Captions{"Nom du fichier", "Enregistrer"}, {}, "%na1%s"},
      {"Sauver", true, {}, {}, ""},
      {"Speichern unter", true, {}, {.title = "Speichern unter", .save_key = U'p'}, "%na1%p"},
      {"Enregistrer", true, {}, {.name_key = U'x'}, "%xa1%e"},
      {"Save As", false, {}, {.save_key = U'k'}, "%na1%k"},
  };
  for (const auto& c : cases) {
    Rig rig({}, {.save_dialog = c.options});
    const WindowHandle main = rig.desktop.OpenWindow("DeskScan II");
    const WindowHandle dialog = rig.desktop.OpenWindow(c.title, c.owned ? main : 0);
    if (c.captions) rig.desktop.MakeFileDialog(dialog, *c.captions);
    rig.SetNames({"a1"});
    rig.Click(ControlId::kStartCommand);
    rig.state().AwaitingSaveAs = true;
    rig.NextTick();
    EXPECT_EQ(rig.KeysTo(dialog), c.keys) << c.title;
    EXPECT_EQ(rig.state().AwaitingSaveAs, c.keys.empty()) << c.title;
  }
}

TEST_F(CycleTest, ANameIsTypedLiterally) {
  AwaitSaveAs({"50%s off"});
  OpenSaveAs();
  rig_.NextTick();
  EXPECT_EQ(rig_.desktop.KeyLog().size(), 10u);  // Alt+N, the eight characters, Alt+S
}

// Enter reaches the box and the focus is stolen before the final-button keys: the button is owed
// to the next tick, unless Error Only is chosen or ENABLE pressed in between.
TEST_F(CycleTest, AnOwedFinalButtonIsPressedOnTheNextTickOrForgotten) {
  for (const char* then : {"tick", "Error Only", "ENABLE"}) {
    const std::string before = rig_.KeysTo(main_);
    const bool owed = then == std::string("tick");
    rig_.Click(ControlId::kStartCommand);
    OpenErrorBox();
    rig_.host.on_pump = [this] {
      if (rig_.LineIsRed(3)) rig_.desktop.StealFocusDuringNextDelivery();
    };
    rig_.NextTick();
    rig_.host.on_pump = nullptr;
    ASSERT_FALSE(rig_.state().AwaitingSaveAs);
    ASSERT_EQ(rig_.KeysTo(main_), before);
    if (then == std::string("Error Only")) rig_.SetMode(ActionMode::ErrorOnly);
    if (then == std::string("ENABLE")) rig_.Click(ControlId::kStartCommand);
    EXPECT_EQ(Tick(true), owed ? "3 Clicking Final Button|" : "0 Waiting for Error|") << then;
    EXPECT_EQ(rig_.state().AwaitingSaveAs, owed);
    EXPECT_EQ(rig_.KeysTo(main_), before + (owed ? kFinal : ""));
    EXPECT_EQ(rig_.KeysTo(rig_.terminal), "");
    rig_.SetMode(ActionMode::FullAuto);
    rig_.Click(ControlId::kStopCommand);
  }
}

TEST_F(CycleTest, AnErrorBoxWhileSaveAsIsAwaitedIsClosedAndTheNameChecked) {
  AwaitSaveAs({"a1", "a2"}, "a0");
  OpenErrorBox();
  EXPECT_EQ(
      Tick(true),
      "5 Save As missed|1 Found Error Message|2 Closed Error Message|3 Clicking Final Button|");
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  OpenSaveAs();
  rig_.NextTick();
  EXPECT_EQ(Sent().back(), "Save As:%na0%s+");  // no image of a0: it goes again
}

TEST_F(CycleTest, StopDuringTheCensusOfTheErrorStageStillPressesTheButton) {
  rig_.Click(ControlId::kStartCommand);
  OpenErrorBox();
  rig_.host.on_pump = [this] {
    if (rig_.LineIsRed(3) && rig_.state().Running) rig_.Click(ControlId::kStopCommand);
  };
  rig_.NextTick();
  rig_.host.on_pump = nullptr;
  EXPECT_FALSE(rig_.state().Running);
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.KeysTo(main_), kFinal);
  EXPECT_TRUE(rig_.NextTick().empty());
  rig_.Click(ControlId::kStartCommand);
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
}

TEST_F(CycleTest, ATickDuringATickIsSkipped) {
  rig_.Click(ControlId::kStartCommand);
  int inner = 0;
  rig_.host.on_pump = [&] {
    if (inner++ == 0) rig_.form.TimerFired(ControlId::kTimer1);
  };
  EXPECT_EQ(Tick(true), "0 Waiting for Error|");
}

}  // namespace
}  // namespace quorvel::harness
