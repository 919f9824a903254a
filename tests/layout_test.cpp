// What both toolkit bindings read from the layout table: stacking, the Tab key, the bare surface,
// pixels at any resolution, and the option groups of the control model.
#include "app/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "app/layout_queries.h"

namespace quorvel {
namespace {

using enum ControlId;

std::ptrdiff_t Position(const std::vector<const ControlSpec*>& order, ControlId id) {
  const auto at =
      std::find_if(order.begin(), order.end(), [id](const ControlSpec* c) { return c->id == id; });
  return at == order.end() ? -1 : at - order.begin();
}

TEST(LayoutTest, StackingKeepsFramedControlsAboveTheirFrameAndLabelsBeneathAll) {
  const std::vector<const ControlSpec*> order = StackingOrder(ScannerFormLayout());
  for (int line = 1; line < kStatusLines; ++line)
    EXPECT_LT(Position(order, DelayText(line)), Position(order, DelayText(line - 1)));
  const std::ptrdiff_t frame = Position(order, kFrame1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_LT(Position(order, OptionAction(i)), frame);
    EXPECT_GE(Position(order, OptionAction(i)), frame - 3);
  }
  EXPECT_LT(Position(order, kFilenames), Position(order, kCombo1));
  // No window for the timer or the line; the hidden list is a window all the same.
  EXPECT_EQ(
      std::tuple(Position(order, kTimer1), Position(order, kLine1), Position(order, kList1) >= 0),
      std::tuple(-1, -1, true));
  EXPECT_TRUE(std::is_partitioned(order.begin(), order.end(), [](const ControlSpec* c) {
    return c->kind != ControlKind::kLabel;
  }));
}

// Combo1 and Command4 take the focus although Filenames covers them; a control that takes no
// focus (a label, the hidden list) starts the order afresh.
TEST(LayoutTest, TabMovesThroughTheTabIndexAndRoundTheEnd) {
  const WindowSpec& window = ScannerFormLayout();
  const std::tuple<ControlId, bool, ControlId> cases[] = {
      {kNone, false, kSeedText},           {kNone, true, DelayText(9)},
      {kSeedText, false, kSeedNumberText}, {kPadText, false, Option1(0)},
      {kCommand4, false, kFilenames},      {DelayText(9), false, kSeedText},
      {kSeedText, true, DelayText(9)},     {kLabel4, false, kSeedText},
      {kList1, true, DelayText(9)}};
  for (const auto& [from, backwards, to] : cases)
    EXPECT_EQ(NextInTabOrder(window, from, backwards)->id, to) << Index(from);
  EXPECT_EQ(NextInTabOrder(SaveDirFormLayout(), kCommand1, false)->id, kDrive1);
}

TEST(LayoutTest, BareSurfaceIsWhereNoControlLabelOrFrameLies) {
  // The divider line, the bottom edge, the "Seed" Number: label, the frame, where only the
  // hidden List1 lies, an option button inside the frame.
  const std::tuple<int, int, bool> cases[] = {{4440, 2000, true}, {4300, 4600, true},
                                              {5000, 900, false}, {200, 100, false},
                                              {3100, 4500, true}, {2500, 300, false}};
  for (const auto& [x, y, bare] : cases)
    EXPECT_EQ(IsBareSurface(ScannerFormLayout(), x, y), bare) << x << "," << y;
}

TEST(LayoutTest, PixelsScaleEdgesSoNeighboursStillTouchAtEveryResolution) {
  // 10 twips at 72 dpi scaled alone would be a pixel wide.
  const std::tuple<TwipRect, int, std::vector<int>> cases[] = {
      {{4920, 840, 735, 375}, 144, {492, 84, 74, 38}},
      {{10, 10, 10, 10}, 72, {1, 1, 0, 0}},
      {{0, 0, 10035, 4650}, 96, {0, 0, 669, 310}}};
  for (const auto& [twips, dpi, pixels] : cases) {
    const PixelRect got = ToPixels(twips, dpi);
    EXPECT_EQ(std::vector({got.left, got.top, got.width, got.height}), pixels);
  }
  for (int dpi : {72, 96, 120, 144, 192}) {
    const PixelRect a = ToPixels({1000, 0, 1005, 300}, dpi);
    EXPECT_EQ(a.left + a.width, ToPixels({2005, 0, 1005, 300}, dpi).left) << dpi;
    for (int pixels : {0, 1, 7, 669, 1279})
      EXPECT_EQ(TwipsToPixels(PixelsToTwips(pixels, dpi), dpi), pixels) << dpi;
  }
  EXPECT_EQ(std::tuple(PointsToPixels(8.25, 96), PointsToPixels(9.75, 144)), std::tuple(11, 20));
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
