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
  Rig rig_;
};

TEST_F(MeterTest, HighlightsOneLineAndKeepsTheOtherTexts) {
  rig_.form.Meter(0, "Waiting for Error", 0);
  rig_.form.Meter(9, "Waiting", 18000);
  rig_.form.Meter(3, "Clicking Final Button", 0);
  EXPECT_EQ(RedLines(), 1);
  EXPECT_TRUE(rig_.LineIsRed(3));
  EXPECT_EQ(rig_.controls().Text(DelayText(3)), "Clicking Final Button");
  EXPECT_EQ(rig_.controls().Text(DelayText(9)), "Waiting");
  EXPECT_EQ(rig_.controls().Text(DelayText(0)), "Waiting for Error");
  EXPECT_EQ(rig_.controls()[DelayText(9)].back, kButtonFace);
  EXPECT_EQ(Label(), "");
  EXPECT_TRUE(rig_.state().Pausing);  // the pause of line 9 goes on
  EXPECT_EQ(rig_.host.Repaints(DelayText(3)), 1);
}

TEST_F(MeterTest, NegativeLineOnlyTakesTheHighlightOff) {
  rig_.form.Meter(9, "Waiting", 18000);
  rig_.form.Meter(-1, "No Message", 0);
  EXPECT_EQ(RedLines(), 0);
  EXPECT_EQ(rig_.controls().Text(DelayText(9)), "Waiting");
  EXPECT_EQ(Label(), "18000");
  EXPECT_TRUE(rig_.state().Pausing);
}

TEST_F(MeterTest, PauseExpiresOnceAndLeavesTheLabel) {
  rig_.form.Meter(9, "Waiting", 18000);
  EXPECT_EQ(Label(), "18000");
  rig_.clock.Advance(17999);
  EXPECT_TRUE(rig_.state().Pausing);
  rig_.clock.Advance(1);
  EXPECT_FALSE(rig_.state().Pausing);
  EXPECT_FALSE(rig_.controls()[ControlId::kSleepTimer].timer_enabled);
  EXPECT_EQ(Label(), "18000");
  EXPECT_TRUE(rig_.LineIsRed(9));
}

TEST_F(MeterTest, ANewPauseReplacesTheRunningOne) {
  int expiries = 0;
  rig_.form.Meter(6, "Found Save As", 500);
  rig_.clock.Advance(300);
  rig_.form.Meter(8, "Sent filename", 2000);
  for (int ms = 0; ms < 3000; ms += 100) {
    const bool before = rig_.state().Pausing;
    rig_.clock.Advance(100);
    if (before && !rig_.state().Pausing) {
      ++expiries;
      EXPECT_EQ(ms + 100, 2000);
    }
  }
  EXPECT_EQ(expiries, 1);
}

TEST_F(MeterTest, ZeroOrNegativePauseArmsNothing) {
  for (int amount : {0, -5}) {
    rig_.form.Meter(2, "Closed Error Message", amount);
    EXPECT_FALSE(rig_.state().Pausing);
    EXPECT_EQ(Label(), "");
    EXPECT_FALSE(rig_.controls()[ControlId::kSleepTimer].timer_enabled);
  }
}

TEST_F(MeterTest, SameLineTwiceReplacesItsText) {
  rig_.form.Meter(4, "Verifying Last Save", 0);
  rig_.form.Meter(4, "First Save in Series", 0);
  EXPECT_EQ(rig_.controls().Text(DelayText(4)), "First Save in Series");
  EXPECT_TRUE(rig_.LineIsRed(4));
}

TEST_F(MeterTest, PumpsBeforeChangingAnything) {
  rig_.form.Meter(1, "Found Error Message", 0);
  bool red_when_pumped = true;
  rig_.host.on_pump = [&] { red_when_pumped = rig_.LineIsRed(2); };
  rig_.form.Meter(2, "Closed Error Message", 0);
  EXPECT_FALSE(red_when_pumped);
}

}  // namespace
}  // namespace quorvel::harness
