// "Stop!" and a click on the bare window.
#include <gtest/gtest.h>

#include "sim/bmp_file.h"
#include "tests/rig.h"

namespace quorvel::harness {
namespace {

TEST(StartStopTest, StopAndABareClickEmptyOnlyTheLastFilename) {
  for (const ControlId click : {ControlId::kStopCommand, ControlId::kNone}) {
    Rig rig;
    rig.StartSeries({"a1", "a2"});
    rig.state().NextNameIndex = 1;
    rig.state().CurrentNumber = 7;
    rig.state().LastFilename = "a1";
    rig.state().AwaitingSaveAs = true;
    rig.controls().SetText(ControlId::kSendLabel, "Sending: a1");
    rig.cycle().Meter(9, "Waiting", 18000);
    rig.Click(click);
    EXPECT_FALSE(rig.state().Running);
    EXPECT_FALSE(rig.state().AwaitingSaveAs);
    EXPECT_EQ(rig.state().LastFilename, "");
    EXPECT_EQ(rig.state().NextNameIndex, 1);
    EXPECT_EQ(rig.state().CurrentNumber, 7);
    EXPECT_EQ(rig.state().PendingNames[1], "a2");
    EXPECT_EQ(rig.controls().Text(ControlId::kSendLabel), "Sending: a1");
    EXPECT_FALSE(rig.LineIsRed(9));
    EXPECT_TRUE(rig.state().Pausing);         // a running pause runs out by itself
    EXPECT_EQ(rig.state().DeskScanCount, 1);  // Stop! takes a census
  }
}

// What Stop! forgets includes when the last name was sent: a name put in LastFilename afterwards
// is judged by its image alone, not against the time of a name of the run before.
TEST(StartStopTest, StopForgetsWhenTheLastNameWasSent) {
  Rig rig({.pages = 1});
  rig.StartSeries({"a1", "a2"});
  rig.RunUntilStopped(60000);  // a1 is sent; the run goes on waiting
  ASSERT_EQ(rig.state().LastFilename, "a1");
  rig.Click(ControlId::kStopCommand);
  rig.files.PutFile(rig.ImagePath("older"), SmallBmp(1),
                    rig.desktop.Now() - std::chrono::minutes(1));
  rig.state().LastFilename = "older";
  rig.Click(ControlId::kStartCommand);
  rig.state().AwaitingSaveAs = true;
  rig.state().Pausing = false;
  rig.desktop.OpenWindow("Save As", rig.scanner->MainWindow());
  rig.NextTick();
  EXPECT_EQ(rig.desktop.DeliveryLog().back().keys, "%na2%s");  // a2: the list as rewritten
}

}  // namespace
}  // namespace quorvel::harness
