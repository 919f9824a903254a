// The automation cycle one tick at a time, on a desktop whose windows the test opens itself.
#include <gtest/gtest.h>

#include "sim/bmp_file.h"
#include "tests/rig.h"

namespace quorvel::harness {
namespace {

const std::string kTabs13(13, '\t');

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

  // Running and awaiting the dialog, with these names queued.
  void AwaitSaveAs(const std::vector<std::string>& names) {
    rig_.SetNames(names);
    rig_.Click(ControlId::kStartCommand);
    rig_.state().AwaitingSaveAs = true;
    rig_.state().Pausing = false;
    looks_ = rig_.files.FilesLookedFor().size();
  }
  void WriteImage(const std::string& name) {
    rig_.files.PutFile(rig_.ImagePath(name), SmallBmp(1));
  }
  // The images the cycle looked for since the names were queued.
  std::vector<std::string> ImagesLookedFor() {
    std::vector<std::string> images;
    const auto& looked = rig_.files.FilesLookedFor();
    for (std::size_t i = looks_; i < looked.size(); ++i) {
      if (looked[i].ends_with(".bmp")) images.push_back(looked[i]);
    }
    return images;
  }
  // The keys of every delivery to "Save As", in order.
  std::vector<std::string> SaveAsKeys() {
    std::vector<std::string> keys;
    for (const DeliveryLogEntry& entry : rig_.desktop.DeliveryLog()) {
      if (entry.target == "Save As") keys.push_back(entry.keys);
    }
    return keys;
  }
  std::vector<DeliveryLogEntry> Deliveries() { return rig_.desktop.DeliveryLog(); }
  const std::string& Filenames() { return rig_.controls().Text(ControlId::kFilenames); }

  Rig rig_;
  WindowHandle main_ = 0;
  std::size_t looks_ = 0;
};

std::vector<int> Lines(const std::vector<Step>& steps) {
  std::vector<int> lines;
  for (const Step& step : steps) lines.push_back(step.line);
  return lines;
}

TEST_F(CycleTest, IdleOrPausedTicksOnlyPump) {
  OpenErrorBox();
  EXPECT_TRUE(rig_.NextTick().empty());
  rig_.Click(ControlId::kStartCommand);
  rig_.cycle().Meter(9, "Waiting", 60000);
  EXPECT_TRUE(rig_.NextTick().empty());
  EXPECT_TRUE(rig_.controls()[ControlId::kCombo1].items.empty());  // no census was taken
  EXPECT_TRUE(Deliveries().empty());
}

TEST_F(CycleTest, OneWindowWaitsAndOtherCountsDoNothingButTheCensus) {
  rig_.Click(ControlId::kStartCommand);
  EXPECT_EQ(rig_.NextTick(), (std::vector<Step>{{0, "Waiting for Error"}}));
  OpenErrorBox();
  rig_.desktop.OpenWindow("DeskScan Help");  // three
  EXPECT_TRUE(rig_.NextTick().empty());
  EXPECT_EQ(rig_.state().DeskScanCount, 3);
  EXPECT_TRUE(Deliveries().empty());
}

TEST_F(CycleTest, ErrorStageClosesTheBoxAndPressesTheFinalButton) {
  rig_.Click(ControlId::kStartCommand);
  OpenErrorBox();
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(Deliveries().size(), 2u);
  EXPECT_EQ(Deliveries()[0].keys, "\r");
  EXPECT_EQ(Deliveries()[1].keys, kTabs13 + "%n");
  for (const DeliveryLogEntry& entry : Deliveries()) {
    EXPECT_EQ(entry.target, "DeskScan II");
    EXPECT_TRUE(entry.wait);
  }
  EXPECT_EQ(rig_.KeysTo(main_), kTabs13 + "%n");
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
}

TEST_F(CycleTest, ErrorOnlyClosesEveryBoxAndNeverAwaitsSaveAs) {
  rig_.SetMode(ActionMode::ErrorOnly);
  rig_.Click(ControlId::kStartCommand);
  for (int box = 0; box < 3; ++box) {
    OpenErrorBox();
    EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{1, 2}));
    EXPECT_FALSE(rig_.state().AwaitingSaveAs);
    EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{0}));
  }
  EXPECT_EQ(Deliveries().size(), 3u);
  EXPECT_EQ(rig_.KeysTo(main_), "");
}

TEST_F(CycleTest, FirstSaveSendsTheFirstNameWithoutLookingForAFile) {
  AwaitSaveAs({"a1", "a2"});
  const WindowHandle dialog = OpenSaveAs();
  EXPECT_EQ(rig_.NextTick(), (std::vector<Step>{{4, "First Save in Series"},
                                                {5, "Finding Save As"},
                                                {6, "Found Save As"},
                                                {7, "Sending filename..."},
                                                {8, "Sent filename & CR"},
                                                {9, "Waiting"}}));
  EXPECT_TRUE(ImagesLookedFor().empty());
  ASSERT_EQ(Deliveries().size(), 1u);
  EXPECT_EQ(Deliveries()[0].target, "Save As");
  EXPECT_TRUE(Deliveries()[0].wait);
  EXPECT_EQ(rig_.KeysTo(dialog), "%na1%s");
  EXPECT_EQ(rig_.state().NextNameIndex, 1);
  EXPECT_EQ(rig_.state().LastFilename, "a1");
  EXPECT_EQ(Filenames(), "a2\r\n");
  EXPECT_EQ(rig_.controls().Text(ControlId::kSendLabel), "Sending: a1");
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.controls()[ControlId::kSleepTimer].interval_ms, 18000);
}

TEST_F(CycleTest, PresentImageConfirmsAndAMissingOneSendsTheSameNameAgain) {
  AwaitSaveAs({"a1", "a2", "a3"});
  rig_.state().LastFilename = "a0";
  OpenSaveAs();
  rig_.controls().SetText(ControlId::kFilenames, "as typed");
  rig_.NextTick();
  EXPECT_EQ(ImagesLookedFor().front(), rig_.ImagePath("a0"));
  EXPECT_EQ(SaveAsKeys(), std::vector<std::string>{"%na0%s"});
  EXPECT_EQ(rig_.state().NextNameIndex, 0);
  EXPECT_EQ(Filenames(), "as typed");

  WriteImage("a0");
  AwaitSaveAs({"a1", "a2", "a3"});
  EXPECT_EQ(rig_.NextTick().front(), (Step{4, "Verifying Last Save"}));
  EXPECT_EQ(SaveAsKeys().back(), "%na1%s");
  EXPECT_EQ(Filenames(), "a2\r\na3\r\n");
}

// A disk that stamps files to two seconds may date a save up to two seconds before its name was
// sent; older than that, the image is left from an earlier run.
TEST_F(CycleTest, AnImageCountsFromTwoSecondsBeforeItsNameWasSent) {
  for (const auto& [age_ms, confirmed] : {std::pair{1900, true}, std::pair{2100, false}}) {
    AwaitSaveAs({"a1", "a2"});
    rig_.state().LastFilename.clear();
    const WindowHandle dialog = OpenSaveAs();
    rig_.NextTick();  // a1 goes
    rig_.desktop.CloseWindow(dialog);
    rig_.files.PutFile(rig_.ImagePath("a1"), SmallBmp(1),
                       rig_.desktop.Now() - std::chrono::milliseconds(age_ms));
    rig_.state().AwaitingSaveAs = true;
    rig_.state().Pausing = false;
    OpenSaveAs();
    rig_.NextTick();
    EXPECT_EQ(SaveAsKeys().back(), confirmed ? "%na2%s" : "%na1%s") << age_ms;
  }
}

TEST_F(CycleTest, ImagePathIsJoinedPlainly) {
  const std::string sep(1, kPathSeparator);
  OpenSaveAs();
  for (const auto& [folder, expected] : {std::pair{std::string(), sep + "a0.bmp"},
                                         std::pair{"x" + sep, "x" + sep + sep + "a0.bmp"}}) {
    AwaitSaveAs({"a1"});
    rig_.state().SaveFolder = folder;
    rig_.state().LastFilename = "a0";
    rig_.NextTick();
    EXPECT_EQ(ImagesLookedFor().back(), expected);
  }
}

TEST_F(CycleTest, PauseAfterEachKindOfSend) {
  const struct {
    ActionMode mode;
    std::int32_t delay;
    int pause;
    std::string label;
    std::string keys;
  } cases[] = {{ActionMode::FullAuto, 5000, 5000, "5000", "%na1%s"},
               {ActionMode::FullAuto, -1, 2000, "", "%na1%s"},
               {ActionMode::ErrorAndSaveAs, 5000, 2000, "2000", "%na1"}};
  OpenSaveAs();
  for (const auto& c : cases) {
    rig_.SetMode(c.mode);
    AwaitSaveAs({"a1"});
    rig_.state().LastFilename.clear();
    rig_.state().Delay = c.delay;
    rig_.NextTick();
    EXPECT_TRUE(rig_.state().Pausing);
    EXPECT_EQ(rig_.controls()[ControlId::kSleepTimer].interval_ms, c.pause);
    EXPECT_EQ(rig_.controls().Text(ControlId::kSleepLabel), c.label);
    EXPECT_EQ(Deliveries().back().keys, c.keys);
    EXPECT_EQ(Deliveries().back().wait, c.mode == ActionMode::FullAuto);
  }
}

TEST_F(CycleTest, ErrorOnlyChosenWhileAwaitingTakesANameAndSendsNoKeys) {
  AwaitSaveAs({"a1", "a2"});
  const WindowHandle dialog = OpenSaveAs();
  rig_.desktop.SetForeground(rig_.terminal);
  rig_.SetMode(ActionMode::ErrorOnly);
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{4, 5, 6, 7}));
  EXPECT_TRUE(Deliveries().empty());
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
  rig_.state().AwaitingSaveAs = true;
  rig_.state().Pausing = false;
  rig_.NextTick();
  EXPECT_EQ(SaveAsKeys(), (std::vector<std::string>{"%na1%s", "%na2%s"}));
}

TEST_F(CycleTest, EndOfTheListStopsFullAutoAndSendsAnEmptyNameOtherwise) {
  OpenSaveAs();
  AwaitSaveAs({});
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{4, 5, 6}));
  EXPECT_FALSE(rig_.state().Running);
  for (int line = 0; line < kStatusLines; ++line) EXPECT_FALSE(rig_.LineIsRed(line));
  EXPECT_EQ(Filenames(), "");
  EXPECT_TRUE(Deliveries().empty());

  rig_.SetMode(ActionMode::ErrorAndSaveAs);
  AwaitSaveAs({});
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{4, 5, 6, 7, 8}));
  EXPECT_EQ(rig_.controls().Text(ControlId::kSendLabel), "Sending: ");
  EXPECT_EQ(SaveAsKeys(), std::vector<std::string>{"%n"});
  EXPECT_TRUE(rig_.state().Running);
}

TEST_F(CycleTest, RewriteShowsTheNamesUpToTheNextIndexPlusTheNumberOfScans) {
  const struct {
    const char* scans;
    std::string shown;
  } cases[] = {{"3", "a2\r\na3\r\na4\r\na5\r\n"},
               {"none", "a2\r\n"},
               {"-5", ""},
               // The next index (1) plus the number, rounded half to even: 1.5 and 2.5 both
               // reach slot 2, 3.5 slot 4.
               {"0.5", "a2\r\na3\r\n"},
               {"1.5", "a2\r\na3\r\n"},
               {"2.5", "a2\r\na3\r\na4\r\na5\r\n"},
               {"1e9", "a2\r\na3\r\na4\r\na5\r\na6\r\n"}};
  OpenSaveAs();
  for (const auto& c : cases) {
    AwaitSaveAs({"a1", "a2", "a3", "a4", "a5", "a6"});
    rig_.state().LastFilename.clear();
    rig_.controls().SetText(ControlId::kNumberofScans, c.scans);
    rig_.NextTick();
    EXPECT_EQ(Filenames(), c.shown) << c.scans;
  }
}

TEST_F(CycleTest, NoDialogYetRepeatsTheCheckAndNoSlotPastTheLastIsRead) {
  AwaitSaveAs({"a1"});
  rig_.state().LastFilename = "a0";
  WriteImage("a0");
  for (int tick = 0; tick < 3; ++tick) {
    EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{4, 5}));
    EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  }
  EXPECT_EQ(ImagesLookedFor().size(), 3u);

  rig_.state().NextNameIndex = kPendingNameSlots;
  OpenSaveAs();
  rig_.NextTick();
  EXPECT_FALSE(rig_.state().Running);  // past the queue every slot is empty
  EXPECT_TRUE(Deliveries().empty());
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
  const WindowHandle dialog = OpenSaveAs();
  rig_.NextTick();
  std::vector<Key> received;
  for (const KeyLogEntry& entry : rig_.desktop.KeyLog()) {
    if (entry.window == dialog) received.push_back(entry.key);
  }
  EXPECT_EQ(received, KeyString().Alt('n').Text("50%s off").Alt('s').Keys());
}

TEST_F(CycleTest, RefusedActivationSendsNothingAndRetries) {
  rig_.Click(ControlId::kStartCommand);
  const WindowHandle box = OpenErrorBox();
  rig_.desktop.SetForeground(rig_.terminal);
  rig_.desktop.FailNextActivation();
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{1}));
  EXPECT_TRUE(rig_.desktop.KeyLog().empty());
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(rig_.desktop.IsOpen(box));
  EXPECT_EQ(rig_.KeysTo(rig_.terminal), "");
}

class OwedFinalButtonTest : public CycleTest {
 protected:
  // Enter reaches the box; the focus is stolen before the final-button keys.
  void StealTheFinalButton() {
    rig_.Click(ControlId::kStartCommand);
    OpenErrorBox();
    rig_.host.on_pump = [this] {
      if (rig_.LineIsRed(3)) rig_.desktop.StealFocusDuringNextDelivery();
    };
    rig_.NextTick();
    rig_.host.on_pump = nullptr;
    ASSERT_FALSE(rig_.state().AwaitingSaveAs);
    ASSERT_EQ(rig_.KeysTo(main_), "");
  }
};

TEST_F(OwedFinalButtonTest, IsPressedOnTheNextTick) {
  StealTheFinalButton();
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{3}));
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.KeysTo(main_), kTabs13 + "%n");
  EXPECT_EQ(rig_.KeysTo(rig_.terminal), "");
}

TEST_F(OwedFinalButtonTest, IsForgottenInErrorOnlyAndByEnable) {
  for (const bool enable : {false, true}) {
    StealTheFinalButton();
    if (enable) {
      rig_.Click(ControlId::kStartCommand);
    } else {
      rig_.SetMode(ActionMode::ErrorOnly);
    }
    EXPECT_EQ(rig_.NextTick(), (std::vector<Step>{{0, "Waiting for Error"}})) << enable;
    EXPECT_EQ(rig_.KeysTo(main_), "");
    rig_.SetMode(ActionMode::FullAuto);
    rig_.Click(ControlId::kStopCommand);
  }
}

TEST_F(CycleTest, StolenFocusAtSaveAsSendsTheNameAgain) {
  AwaitSaveAs({"a1", "a2"});
  const WindowHandle dialog = OpenSaveAs();
  rig_.desktop.StealFocusDuringNextDelivery();
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{4, 5, 6, 7}));
  EXPECT_EQ(rig_.state().LastFilename, "a1");
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.KeysTo(rig_.terminal), "");
  rig_.state().Pausing = false;
  EXPECT_EQ(rig_.NextTick().front(), (Step{4, "Verifying Last Save"}));
  EXPECT_EQ(rig_.KeysTo(dialog), "%na1%s");
  EXPECT_EQ(rig_.state().NextNameIndex, 1);
}

TEST_F(CycleTest, AnErrorBoxWhileSaveAsIsAwaitedIsClosedAndTheNameChecked) {
  AwaitSaveAs({"a1", "a2"});
  rig_.state().LastFilename = "a0";
  OpenErrorBox();
  EXPECT_EQ(rig_.NextTick(), (std::vector<Step>{{5, "Save As missed"},
                                                {1, "Found Error Message"},
                                                {2, "Closed Error Message"},
                                                {3, "Clicking Final Button"}}));
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  OpenSaveAs();
  rig_.NextTick();
  EXPECT_EQ(SaveAsKeys(), std::vector<std::string>{"%na0%s"});  // no image of a0: it goes again
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
  EXPECT_EQ(rig_.KeysTo(main_), kTabs13 + "%n");
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
  EXPECT_EQ(rig_.NextTick(), (std::vector<Step>{{0, "Waiting for Error"}}));
}

}  // namespace
}  // namespace quorvel::harness
