// One tick at a time, on a desktop whose windows the test opens itself.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

const std::string kTabs13(13, '\t');

class CycleTest : public ::testing::Test {
 protected:
  CycleTest() {
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
    rig_.form.StartCommand_Click();
    rig_.state().AwaitingSaveAs = true;
  }
  void WriteImage(const std::string& name) {
    std::ofstream(rig_.folder.path() / (name + ".bmp")) << "BM";
  }
  std::vector<DeliveryLogEntry> Deliveries() { return rig_.desktop.DeliveryLog(); }
  const std::string& Filenames() { return rig_.controls().Text(ControlId::kFilenames); }

  Rig rig_;
  WindowHandle main_ = 0;
};

std::vector<int> Lines(const std::vector<Step>& steps) {
  std::vector<int> lines;
  for (const Step& step : steps) lines.push_back(step.line);
  return lines;
}

TEST_F(CycleTest, IdleOrPausedTicksOnlyPump) {
  OpenErrorBox();
  EXPECT_TRUE(rig_.NextTick().empty());
  rig_.form.StartCommand_Click();
  rig_.form.Meter(9, "Waiting", 60000);
  EXPECT_TRUE(rig_.NextTick().empty());
  EXPECT_TRUE(rig_.controls()[ControlId::kCombo1].items.empty());  // no census was taken
  EXPECT_TRUE(Deliveries().empty());
}

TEST_F(CycleTest, OneWindowWaitsForTheError) {
  rig_.form.StartCommand_Click();
  for (int tick = 0; tick < 3; ++tick) {
    EXPECT_EQ(rig_.NextTick(), (std::vector<Step>{{0, "Waiting for Error"}}));
  }
}

TEST_F(CycleTest, OtherCountsDoNothingButTheCensus) {
  rig_.form.StartCommand_Click();
  OpenErrorBox();
  rig_.desktop.OpenWindow("DeskScan Help");  // three
  EXPECT_TRUE(rig_.NextTick().empty());
  EXPECT_EQ(rig_.state().DeskScanCount, 3);
  EXPECT_TRUE(Deliveries().empty());
}

TEST_F(CycleTest, ErrorStageClosesTheBoxAndPressesTheFinalButton) {
  rig_.form.StartCommand_Click();
  OpenErrorBox();
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(Deliveries().size(), 2u);
  EXPECT_EQ(Deliveries()[0].target, "DeskScan II");
  EXPECT_EQ(Deliveries()[0].keys, "\r");
  EXPECT_TRUE(Deliveries()[0].wait);
  EXPECT_EQ(Deliveries()[1].target, "DeskScan II");
  EXPECT_EQ(Deliveries()[1].keys, kTabs13 + "%n");
  EXPECT_TRUE(Deliveries()[1].wait);
  EXPECT_EQ(rig_.KeysTo(main_), kTabs13 + "%n");
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
}

TEST_F(CycleTest, ErrorOnlyClosesEveryBoxAndNeverAwaitsSaveAs) {
  rig_.SetMode(ActionMode::ErrorOnly);
  rig_.form.StartCommand_Click();
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
  const auto steps = rig_.NextTick();
  EXPECT_EQ(steps, (std::vector<Step>{{4, "First Save in Series"},
                                      {5, "Finding Save As"},
                                      {6, "Found Save As"},
                                      {7, "Sending filename..."},
                                      {8, "Sent filename & CR"},
                                      {9, "Waiting"}}));
  EXPECT_TRUE(rig_.desktop.FilesLookedFor().empty());
  ASSERT_EQ(Deliveries().size(), 1u);
  EXPECT_EQ(Deliveries()[0].target, "Save As");
  EXPECT_EQ(Deliveries()[0].keys, "%na1%s");
  EXPECT_TRUE(Deliveries()[0].wait);
  EXPECT_EQ(rig_.KeysTo(dialog), "%na1%s");
  EXPECT_EQ(rig_.state().NextNameIndex, 1);
  EXPECT_EQ(rig_.state().LastFilename, "a1");
  EXPECT_EQ(Filenames(), "a2\r\n");
  EXPECT_EQ(rig_.controls().Text(ControlId::kSendLabel), "Sending: a1");
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.controls().Text(ControlId::kSleepLabel), "18000");
  EXPECT_EQ(rig_.controls()[ControlId::kSleepTimer].interval_ms, 18000);
}

TEST_F(CycleTest, PresentImageConfirmsAndTheNextNameGoes) {
  AwaitSaveAs({"a1", "a2", "a3"});
  rig_.state().LastFilename = "a0";
  WriteImage("a0");
  OpenSaveAs();
  EXPECT_EQ(rig_.NextTick().front(), (Step{4, "Verifying Last Save"}));
  EXPECT_EQ(rig_.desktop.FilesLookedFor(),
            (std::vector<std::string>{rig_.folder.str() + kPathSeparator + "a0.bmp"}));
  EXPECT_EQ(Deliveries().at(0).keys, "%na1%s");
  EXPECT_EQ(Filenames(), "a2\r\na3\r\n");
}

TEST_F(CycleTest, MissingImageSendsTheSameNameAgain) {
  AwaitSaveAs({"a1", "a2"});
  rig_.controls().SetText(ControlId::kFilenames, "as typed");
  rig_.state().LastFilename = "a0";
  OpenSaveAs();
  rig_.NextTick();
  EXPECT_EQ(Deliveries().at(0).keys, "%na0%s");
  EXPECT_EQ(rig_.state().NextNameIndex, 0);
  EXPECT_EQ(rig_.state().LastFilename, "a0");
  EXPECT_EQ(Filenames(), "as typed");
}

TEST_F(CycleTest, ImagePathIsJoinedPlainly) {
  struct Case {
    std::string folder, expected;
  } cases[] = {
      {"", std::string(1, kPathSeparator) + "a0.bmp"},
      {"x" + std::string(1, kPathSeparator), "x" + std::string(2, kPathSeparator) + "a0.bmp"}};
  OpenSaveAs();
  for (const Case& c : cases) {
    AwaitSaveAs({"a1"});
    rig_.state().SaveFolder = c.folder;
    rig_.state().LastFilename = "a0";
    rig_.state().Pausing = false;
    rig_.NextTick();
    EXPECT_EQ(rig_.desktop.FilesLookedFor().back(), c.expected);
  }
}

TEST_F(CycleTest, PauseAfterAFullAutoSend) {
  struct Case {
    std::int32_t delay;
    int pause;
    std::string label;
  } cases[] = {{18000, 18000, "18000"}, {5000, 5000, "5000"}, {-1, 2000, ""}};
  for (const Case& c : cases) {
    rig_.state().Pausing = false;
    AwaitSaveAs({"a1"});
    rig_.state().Delay = c.delay;
    OpenSaveAs();
    rig_.NextTick();
    EXPECT_TRUE(rig_.state().Pausing);
    EXPECT_EQ(rig_.controls()[ControlId::kSleepTimer].interval_ms, c.pause);
    EXPECT_EQ(rig_.controls().Text(ControlId::kSleepLabel), c.label);
  }
}

TEST_F(CycleTest, ErrorAndSaveAsTypesTheNameWithoutSaving) {
  rig_.SetMode(ActionMode::ErrorAndSaveAs);
  AwaitSaveAs({"a1"});
  OpenSaveAs();
  EXPECT_EQ(rig_.NextTick().back(), (Step{8, "Sent filename"}));
  EXPECT_EQ(Deliveries().at(0).keys, "%na1");
  EXPECT_FALSE(Deliveries().at(0).wait);
  EXPECT_EQ(rig_.controls()[ControlId::kSleepTimer].interval_ms, 2000);
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

TEST_F(CycleTest, EndOfTheListStopsFullAuto) {
  AwaitSaveAs({});
  OpenSaveAs();
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{4, 5, 6}));
  EXPECT_FALSE(rig_.state().Running);
  for (int line = 0; line < kStatusLines; ++line) EXPECT_FALSE(rig_.LineIsRed(line));
  EXPECT_EQ(rig_.state().LastFilename, "");
  EXPECT_EQ(Filenames(), "");
  EXPECT_TRUE(Deliveries().empty());
}

TEST_F(CycleTest, EndOfTheListSendsAnEmptyNameInErrorAndSaveAs) {
  rig_.SetMode(ActionMode::ErrorAndSaveAs);
  AwaitSaveAs({});
  OpenSaveAs();
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{4, 5, 6, 7, 8}));
  EXPECT_EQ(rig_.controls().Text(ControlId::kSendLabel), "Sending: ");
  EXPECT_EQ(Deliveries().at(0).keys, "%n");
  EXPECT_TRUE(rig_.state().Running);
}

TEST_F(CycleTest, RewriteShowsAtMostNumberOfScansPlusOneNames) {
  struct Case {
    const char* scans;
    std::string shown;
  } cases[] = {{"3", "a2\r\na3\r\na4\r\na5\r\n"},
               {"none", "a2\r\n"},
               {"-5", ""},
               {"0.5", "a2\r\n"},
               {"1.5", "a2\r\na3\r\na4\r\n"},
               {"1e9", "a2\r\na3\r\na4\r\na5\r\na6\r\n"}};
  OpenSaveAs();
  for (const Case& c : cases) {
    rig_.state().Pausing = false;
    AwaitSaveAs({"a1", "a2", "a3", "a4", "a5", "a6"});
    rig_.state().LastFilename.clear();
    rig_.controls().SetText(ControlId::kNumberofScans, c.scans);
    rig_.NextTick();
    EXPECT_EQ(Filenames(), c.shown) << c.scans;
  }
}

TEST_F(CycleTest, NoDialogYetRepeatsTheCheck) {
  AwaitSaveAs({"a1"});
  rig_.state().LastFilename = "a0";
  WriteImage("a0");
  for (int tick = 0; tick < 3; ++tick) {
    EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{4, 5}));
    EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  }
  EXPECT_EQ(rig_.desktop.FilesLookedFor().size(), 3u);
}

TEST_F(CycleTest, NoSlotPastTheLastIsRead) {
  AwaitSaveAs({"a1"});
  rig_.state().NextNameIndex = kPendingNameSlots;
  OpenSaveAs();
  rig_.NextTick();
  EXPECT_FALSE(rig_.state().Running);  // past the queue every slot is empty
  EXPECT_TRUE(Deliveries().empty());
}

TEST_F(CycleTest, ANameIsTypedLiterally) {
  AwaitSaveAs({"50%s off"});
  const WindowHandle dialog = OpenSaveAs();
  rig_.NextTick();
  std::vector<Key> received;
  for (const KeyLogEntry& entry : rig_.desktop.KeyLog()) {
    if (entry.window == dialog) received.push_back(entry.key);
  }
  KeyString expected;
  expected.Alt('n').Text("50%s off").Alt('s');
  EXPECT_EQ(received, expected.keys());
}

TEST_F(CycleTest, RefusedActivationSendsNothingAndRetries) {
  rig_.form.StartCommand_Click();
  const WindowHandle box = OpenErrorBox();
  rig_.desktop.SetForeground(rig_.terminal);
  rig_.desktop.FailNextActivation();
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{1}));
  EXPECT_TRUE(rig_.desktop.KeyLog().empty());
  EXPECT_TRUE(rig_.desktop.IsOpen(box));
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(rig_.desktop.IsOpen(box));
  EXPECT_EQ(rig_.KeysTo(rig_.terminal), "");
}

TEST_F(CycleTest, StolenFocusAtTheFinalButtonPressesItOnTheNextTick) {
  rig_.form.StartCommand_Click();
  OpenErrorBox();
  rig_.NextTick();  // error stage: Enter goes out
  ASSERT_TRUE(rig_.state().AwaitingSaveAs);
  rig_.state().AwaitingSaveAs = false;
  OpenErrorBox();
  rig_.form.Meter(-1, "No Message", 0);
  // Enter reaches the box; the focus is stolen before the final-button keys.
  rig_.host.on_pump = [this] {
    if (rig_.LineIsRed(3)) rig_.desktop.StealFocusDuringNextDelivery();
  };
  rig_.NextTick();
  rig_.host.on_pump = nullptr;
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.KeysTo(rig_.terminal), "");
  EXPECT_EQ(Lines(rig_.NextTick()), (std::vector<int>{3}));
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.KeysTo(main_), kTabs13 + "%n" + kTabs13 + "%n");
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
  ASSERT_EQ(Deliveries().size(), 3u);
  EXPECT_EQ(Deliveries()[2].keys, "%na0%s");  // no image of a0: it goes again
}

TEST_F(CycleTest, StopDuringTheCensusOfTheErrorStageStillPressesTheButton) {
  rig_.form.StartCommand_Click();
  OpenErrorBox();
  rig_.host.on_pump = [this] {
    if (rig_.LineIsRed(3) && rig_.state().Running) rig_.form.StopCommand_Click();
  };
  rig_.NextTick();
  rig_.host.on_pump = nullptr;
  EXPECT_FALSE(rig_.state().Running);
  EXPECT_TRUE(rig_.state().AwaitingSaveAs);
  EXPECT_EQ(rig_.KeysTo(main_), kTabs13 + "%n");
  EXPECT_TRUE(rig_.NextTick().empty());
  rig_.form.StartCommand_Click();
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
}

TEST_F(CycleTest, ATickDuringATickIsSkipped) {
  rig_.form.StartCommand_Click();
  int inner = 0;
  rig_.host.on_pump = [&] {
    if (inner++ == 0) rig_.form.Timer1_Timer();
  };
  EXPECT_EQ(rig_.NextTick(), (std::vector<Step>{{0, "Waiting for Error"}}));
}

}  // namespace
}  // namespace quorvel::harness
