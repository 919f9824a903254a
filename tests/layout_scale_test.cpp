// The layout helpers the bindings use for the screen's resolution and for the Tab key.
#include <gtest/gtest.h>

#include "app/layout_queries.h"

namespace quorvel {
namespace {

TEST(LayoutScaleTest, PixelsAndTwipsConvertBothWaysAtCommonResolutions) {
  for (int dpi : {96, 120, 144, 192}) {
    for (int pixels : {0, 1, 7, 15, 544, 669, 1279}) {
      EXPECT_EQ(TwipsToPixels(PixelsToTwips(pixels, dpi), dpi), pixels) << dpi << " dpi";
    }
  }
  EXPECT_EQ(PixelsToTwips(669, 96), 10035);
  EXPECT_EQ(PixelsToTwips(310, 96), 4650);
  EXPECT_EQ(PixelsToTwips(100, 120), 1200);
}

TEST(LayoutScaleTest, FontPointsBecomePixelsAtTheScreensResolution) {
  struct Case {
    double points;
    int dpi;
    int pixels;
  };
  const Case cases[] = {{8.25, 96, 11}, {9.75, 96, 13}, {8.25, 120, 14}, {9.75, 144, 20}};
  for (const Case& c : cases) {
    EXPECT_EQ(PointsToPixels(c.points, c.dpi), c.pixels) << c.points << " pt at " << c.dpi;
  }
}

TEST(LayoutScaleTest, TabMovesThroughTheTabIndexAndRoundTheEnd) {
  const WindowSpec& window = ScannerFormLayout();
  EXPECT_EQ(NextInTabOrder(window, ControlId::kNone, false)->id, ControlId::kSeedText);
  EXPECT_EQ(NextInTabOrder(window, ControlId::kNone, true)->id, DelayText(9));
  EXPECT_EQ(NextInTabOrder(window, ControlId::kSeedText, false)->id, ControlId::kSeedNumberText);
  EXPECT_EQ(NextInTabOrder(window, ControlId::kPadText, false)->id, Option1(0));
  EXPECT_EQ(NextInTabOrder(window, ControlId::kCommand4, false)->id, ControlId::kFilenames);
  EXPECT_EQ(NextInTabOrder(window, DelayText(9), false)->id, ControlId::kSeedText);
  EXPECT_EQ(NextInTabOrder(window, ControlId::kSeedText, true)->id, DelayText(9));
  // A control that takes no focus (a label, the hidden list) starts the order afresh.
  EXPECT_EQ(NextInTabOrder(window, ControlId::kLabel4, false)->id, ControlId::kSeedText);
  EXPECT_EQ(NextInTabOrder(window, ControlId::kList1, true)->id, DelayText(9));

  const WindowSpec& picker = SaveDirFormLayout();
  EXPECT_EQ(NextInTabOrder(picker, ControlId::kNone, false)->id, ControlId::kDrive1);
  EXPECT_EQ(NextInTabOrder(picker, ControlId::kDir1, false)->id, ControlId::kCommand1);
  EXPECT_EQ(NextInTabOrder(picker, ControlId::kCommand1, false)->id, ControlId::kDrive1);
}

}  // namespace
}  // namespace quorvel
