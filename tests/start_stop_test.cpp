#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

TEST(StartStopTest, EnableLoadsTheListAndStartsWaiting) {
  Rig rig;
  rig.SetNames({"a1", "a2"});
  rig.state().AwaitingSaveAs = true;
  rig.state().LastFilename = "old";
  rig.form.StartCommand_Click();
  EXPECT_TRUE(rig.state().Running);
  EXPECT_FALSE(rig.state().AwaitingSaveAs);
  EXPECT_EQ(rig.state().PendingNames[1], "a2");
  EXPECT_EQ(rig.state().LastFilename, "old");  // the next Save As verifies the name sent last
}

TEST(StartStopTest, StopEmptiesOnlyTheLastFilename) {
  Rig rig;
  rig.scanner->Start();
  rig.SetNames({"a1", "a2"});
  rig.form.StartCommand_Click();
  rig.state().NextNameIndex = 1;
  rig.state().CurrentNumber = 7;
  rig.state().LastFilename = "a1";
  rig.state().AwaitingSaveAs = true;
  rig.controls().SetText(ControlId::kSendLabel, "Sending: a1");
  rig.form.Meter(9, "Waiting", 18000);

  rig.form.StopCommand_Click();

  EXPECT_FALSE(rig.state().Running);
  EXPECT_FALSE(rig.state().AwaitingSaveAs);
  EXPECT_EQ(rig.state().LastFilename, "");
  EXPECT_EQ(rig.state().NextNameIndex, 1);
  EXPECT_EQ(rig.state().CurrentNumber, 7);
  EXPECT_EQ(rig.state().SaveFolder, rig.folder.str());
  EXPECT_EQ(rig.state().PendingNames[1], "a2");
  EXPECT_EQ(rig.controls().Text(ControlId::kSendLabel), "Sending: a1");
  EXPECT_FALSE(rig.LineIsRed(9));
  EXPECT_EQ(rig.controls().Text(DelayText(9)), "Waiting");
  EXPECT_TRUE(rig.state().Pausing);         // a running pause runs out by itself
  EXPECT_EQ(rig.state().DeskScanCount, 1);  // Stop! takes a census
}

TEST(StartStopTest, ClickOnTheBareWindowStopsLikeStop) {
  Rig rig;
  rig.SetNames({"a1"});
  rig.form.StartCommand_Click();
  rig.state().LastFilename = "a1";
  rig.form.Form_Click();
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(rig.state().LastFilename, "");
}

TEST(StartStopTest, StopWhileIdleIsHarmless) {
  Rig rig;
  rig.form.StopCommand_Click();
  EXPECT_FALSE(rig.state().Running);
  for (int line = 0; line < kStatusLines; ++line) EXPECT_FALSE(rig.LineIsRed(line));
  EXPECT_EQ(rig.controls()[ControlId::kCombo1].items.size(), 2u);
}

TEST(StartStopTest, EnableTwiceRestartsAtTheFirstPendingName) {
  Rig rig;
  rig.SetNames({"a1", "a2", "a3"});
  rig.form.StartCommand_Click();
  rig.state().NextNameIndex = 2;
  rig.SetNames({"a3"});
  rig.form.StartCommand_Click();
  EXPECT_EQ(rig.state().NextNameIndex, 0);
  EXPECT_EQ(rig.state().PendingNames[0], "a3");
  EXPECT_EQ(rig.state().PendingNames[1], "");
}

}  // namespace
}  // namespace quorvel::harness
