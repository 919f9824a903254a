// What both toolkit bindings read from the layout table: stacking, the Tab key, the bare surface,
// pixels at any resolution, and the option groups of the control model.
#include "app/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/layout_queries.h"

namespace quorvel {
namespace {

std::ptrdiff_t Position(const std::vector<const ControlSpec*>& order, ControlId id) {
  const auto at =
      std::find_if(order.begin(), order.end(), [id](const ControlSpec* c) { return c->id == id; });
  return at == order.end() ? -1 : at - order.begin();
}

TEST(LayoutTest, StackingKeepsFramedControlsAboveTheirFrameAndLabelsBeneathAll) {
  const std::vector<const ControlSpec*> order = StackingOrder(ScannerFormLayout());
  for (int line = 1; line < kStatusLines; ++line) {
    EXPECT_LT(Position(order, DelayText(line)), Position(order, DelayText(line - 1)));
  }
  const std::ptrdiff_t frame = Position(order, ControlId::kFrame1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_LT(Position(order, OptionAction(i)), frame);
    EXPECT_GE(Position(order, OptionAction(i)), frame - 3);
  }
  EXPECT_LT(Position(order, ControlId::kFilenames), Position(order, ControlId::kCombo1));
  EXPECT_EQ(Position(order, ControlId::kTimer1), -1);
  EXPECT_EQ(Position(order, ControlId::kLine1), -1);
  EXPECT_NE(Position(order, ControlId::kList1), -1);  // hidden, but a window all the same
  const auto first_label = std::find_if(order.begin(), order.end(), [](const ControlSpec* c) {
    return c->kind == ControlKind::kLabel;
  });
  EXPECT_TRUE(std::all_of(first_label, order.end(),
                          [](const ControlSpec* c) { return c->kind == ControlKind::kLabel; }));
}

// Combo1 and Command4 take the focus although Filenames covers them; a control that takes no
// focus (a label, the hidden list) starts the order afresh.
TEST(LayoutTest, TabMovesThroughTheTabIndexAndRoundTheEnd) {
  const WindowSpec& window = ScannerFormLayout();
  const struct {
    ControlId from;
    bool backwards;
    ControlId to;
  } cases[] = {{ControlId::kNone, false, ControlId::kSeedText},
               {ControlId::kNone, true, DelayText(9)},
               {ControlId::kSeedText, false, ControlId::kSeedNumberText},
               {ControlId::kPadText, false, Option1(0)},
               {ControlId::kCommand4, false, ControlId::kFilenames},
               {DelayText(9), false, ControlId::kSeedText},
               {ControlId::kSeedText, true, DelayText(9)},
               {ControlId::kLabel4, false, ControlId::kSeedText},
               {ControlId::kList1, true, DelayText(9)}};
  for (const auto& c : cases) {
    EXPECT_EQ(NextInTabOrder(window, c.from, c.backwards)->id, c.to) << Index(c.from);
  }
  EXPECT_EQ(NextInTabOrder(SaveDirFormLayout(), ControlId::kCommand1, false)->id,
            ControlId::kDrive1);
}

TEST(LayoutTest, BareSurfaceIsWhereNoControlLabelOrFrameLies) {
  // The divider line, the bottom edge, the "Seed" Number: label, the frame, where only the
  // hidden List1 lies, an option button inside the frame.
  const struct {
    int x, y;
    bool bare;
  } cases[] = {{4440, 2000, true}, {4300, 4600, true}, {5000, 900, false},
               {200, 100, false},  {3100, 4500, true}, {2500, 300, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsBareSurface(ScannerFormLayout(), c.x, c.y), c.bare) << c.x << "," << c.y;
  }
}

TEST(LayoutTest, PixelsScaleEdgesSoNeighboursStillTouchAtEveryResolution) {
  // 10 twips at 72 dpi scaled alone would be a pixel wide.
  const struct {
    TwipRect twips;
    int dpi;
    std::vector<int> pixels;
  } cases[] = {{{4920, 840, 735, 375}, 144, {492, 84, 74, 38}},
               {{10, 10, 10, 10}, 72, {1, 1, 0, 0}},
               {{0, 0, 10035, 4650}, 96, {0, 0, 669, 310}}};
  for (const auto& c : cases) {
    const PixelRect got = ToPixels(c.twips, c.dpi);
    EXPECT_EQ(std::vector({got.left, got.top, got.width, got.height}), c.pixels);
  }
  for (int dpi : {72, 96, 120, 144, 192}) {
    const PixelRect a = ToPixels({1000, 0, 1005, 300}, dpi);
    EXPECT_EQ(a.left + a.width, ToPixels({2005, 0, 1005, 300}, dpi).left) << dpi;
    for (int pixels : {0, 1, 7, 669, 1279}) {
      EXPECT_EQ(TwipsToPixels(PixelsToTwips(pixels, dpi), dpi), pixels) << dpi;
    }
  }
  EXPECT_EQ(PointsToPixels(8.25, 96), 11);
  EXPECT_EQ(PointsToPixels(9.75, 144), 20);
}

// Choosing an option button clears the one chosen before in its group, and tells the binding of
// both: without the second notice a binding would show two chosen options.
TEST(LayoutTest, ChoosingAnOptionClearsItsGroupOnlyAndSaysSo) {
  ControlModel model = StartUpModel();
  std::vector<ControlId> told;
  model.SetObserver([&](ControlId id) { told.push_back(id); });
  model.SetValue(Option1(4), true);
  model.SetValue(Option1(2), true);
  model.SetValue(OptionAction(1), true);
  EXPECT_FALSE(model.Value(Option1(4)));
  EXPECT_TRUE(model.Value(Option1(2)));
  EXPECT_FALSE(model.Value(OptionAction(0)));
  EXPECT_EQ(told,
            (std::vector{Option1(4), Option1(4), Option1(2), OptionAction(0), OptionAction(1)}));
}

}  // namespace
}  // namespace quorvel
