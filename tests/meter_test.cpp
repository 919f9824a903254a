// The step meter: ten status lines, the pause label and the one-shot pause timer.
#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

class MeterTest : public ::testing::Test {
 protected:
  int RedLines() {
    int red = 0;
    for (int line = 0; line < kStatusLines; ++line) red += rig_.LineIsRed(line);
    return red;
  }
  const std::string& Label() { return rig_.controls().Text(ControlId::kSleepLabel); }
  bool TimerOn() { return rig_.controls()[ControlId::kSleepTimer].timer_enabled; }
  Rig rig_;
};

TEST_F(MeterTest, HighlightsOneLineAndKeepsTheOtherTexts) {
  rig_.cycle().Meter(9, "Waiting", 18000);
  rig_.cycle().Meter(3, "Clicking Final Button", 0);
  EXPECT_EQ(RedLines(), 1);
  EXPECT_TRUE(rig_.LineIsRed(3));
  EXPECT_EQ(rig_.controls().Text(DelayText(9)), "Waiting");
  EXPECT_EQ(rig_.controls().Text(DelayText(0)), "Waiting for Error");
  EXPECT_EQ(Label(), "");
  EXPECT_TRUE(rig_.state().Pausing);  // the pause of line 9 goes on
  EXPECT_EQ(rig_.host.Repaints(DelayText(3)), 1);
  rig_.cycle().Meter(-1, "No Message", 0);
  EXPECT_EQ(RedLines(), 0);
  EXPECT_EQ(rig_.controls().Text(DelayText(3)), "Clicking Final Button");
}

// A pause runs out once and leaves its label; a new pause replaces the running one.
TEST_F(MeterTest, PauseExpiresOnceAndANewOneReplacesIt) {
  rig_.cycle().Meter(9, "Waiting", 18000);
  EXPECT_EQ(Label(), "18000");
  rig_.clock.Advance(300);
  rig_.cycle().Meter(8, "Sent filename", 2000);
  rig_.clock.Advance(1999);
  EXPECT_TRUE(rig_.state().Pausing);
  rig_.clock.Advance(1);
  EXPECT_FALSE(rig_.state().Pausing);
  EXPECT_FALSE(TimerOn());
  EXPECT_EQ(Label(), "2000");
  rig_.state().Pausing = true;
  rig_.clock.Advance(20000);
  EXPECT_TRUE(rig_.state().Pausing) << "the first pause fired after all";
}

TEST_F(MeterTest, ZeroOrNegativePauseArmsNothing) {
  for (int amount : {0, -5}) {
    rig_.cycle().Meter(2, "Closed Error Message", amount);
    EXPECT_FALSE(rig_.state().Pausing);
    EXPECT_EQ(Label(), "");
    EXPECT_FALSE(TimerOn());
  }
}

TEST_F(MeterTest, PumpsBeforeChangingAnything) {
  rig_.cycle().Meter(1, "Found Error Message", 0);
  bool red_when_pumped = true;
  rig_.host.on_pump = [&] { red_when_pumped = rig_.LineIsRed(2); };
  rig_.cycle().Meter(2, "Closed Error Message", 0);
  EXPECT_FALSE(red_when_pumped);
}

}  // namespace
}  // namespace quorvel::harness
