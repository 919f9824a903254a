// The layout questions both toolkit bindings ask: stacking, option groups and pixel rectangles.
#include "app/layout_queries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quorvel {
namespace {

std::ptrdiff_t Position(const std::vector<const ControlSpec*>& order, ControlId id) {
  const auto at =
      std::find_if(order.begin(), order.end(), [id](const ControlSpec* c) { return c->id == id; });
  return at == order.end() ? -1 : at - order.begin();
}

std::vector<ControlId> Ids(const std::vector<const ControlSpec*>& rows) {
  std::vector<ControlId> ids;
  for (const ControlSpec* row : rows) ids.push_back(row->id);
  return ids;
}

TEST(LayoutQueriesTest, StackingKeepsTheTableOrderWithFramedControlsAboveTheirFrame) {
  const std::vector<const ControlSpec*> order = StackingOrder(ScannerFormLayout());
  ASSERT_EQ(order.size(), 39u);  // 42 controls less the two timers and the line
  EXPECT_EQ(order.front()->id, DelayText(9));
  for (int line = 1; line < kStatusLines; ++line) {
    EXPECT_LT(Position(order, DelayText(line)), Position(order, DelayText(line - 1)));
  }
  const std::ptrdiff_t frame = Position(order, ControlId::kFrame1);
  for (int i = 0; i < 3; ++i) {
    const std::ptrdiff_t option = Position(order, OptionAction(i));
    EXPECT_LT(option, frame);
    EXPECT_GE(option, frame - 3);
  }
  EXPECT_LT(Position(order, ControlId::kFilenames), Position(order, ControlId::kCombo1));
  EXPECT_LT(Position(order, ControlId::kFilenames), Position(order, ControlId::kCommand4));
  EXPECT_EQ(Position(order, ControlId::kTimer1), -1);
  EXPECT_EQ(Position(order, ControlId::kLine1), -1);
  EXPECT_NE(Position(order, ControlId::kList1), -1);  // hidden, but a window all the same
}

TEST(LayoutQueriesTest, LabelsLieBeneathEveryOtherControl) {
  const std::vector<const ControlSpec*> order = StackingOrder(ScannerFormLayout());
  const auto first_label = std::find_if(order.begin(), order.end(), [](const ControlSpec* c) {
    return c->kind == ControlKind::kLabel;
  });
  ASSERT_NE(first_label, order.end());
  EXPECT_TRUE(std::all_of(first_label, order.end(),
                          [](const ControlSpec* c) { return c->kind == ControlKind::kLabel; }));
  EXPECT_EQ(order.end() - first_label, 7);
  EXPECT_EQ(Ids(StackingOrder(SaveDirFormLayout())),
            (std::vector{ControlId::kCommand1, ControlId::kDir1, ControlId::kDrive1}));
}

TEST(LayoutQueriesTest, OptionGroupsRunInTabOrder) {
  const WindowSpec& window = ScannerFormLayout();
  const std::vector<ControlId> steps{Option1(0), Option1(1), Option1(2),
                                     Option1(3), Option1(4), Option1(5)};
  for (ControlId member : steps) EXPECT_EQ(Ids(OptionGroup(window, SpecOf(member))), steps);
  EXPECT_EQ(Ids(OptionGroup(window, SpecOf(OptionAction(2)))),
            (std::vector{OptionAction(0), OptionAction(1), OptionAction(2)}));
}

TEST(LayoutQueriesTest, PixelRectanglesScaleEdgesSoNeighboursStillTouch) {
  struct Case {
    TwipRect twips;
    int dpi;
    PixelRect pixels;
  };
  const Case cases[] = {
      {{4920, 840, 735, 375}, 96, {328, 56, 49, 25}},
      {{4920, 840, 735, 375}, 144, {492, 84, 74, 38}},
      {{10, 10, 10, 10}, 72, {1, 1, 0, 0}},  // scaled alone, the size would be a pixel
      {{0, 0, 10035, 4650}, 120, {0, 0, 836, 388}},
  };
  for (const Case& c : cases) {
    const PixelRect got = ToPixels(c.twips, c.dpi);
    EXPECT_EQ(got.left, c.pixels.left) << c.dpi;
    EXPECT_EQ(got.top, c.pixels.top) << c.dpi;
    EXPECT_EQ(got.width, c.pixels.width) << c.dpi;
    EXPECT_EQ(got.height, c.pixels.height) << c.dpi;
  }
  // Two boxes side by side in twips stay side by side at every DPI.
  for (int dpi : {72, 96, 120, 144, 192}) {
    const PixelRect a = ToPixels({1000, 0, 1005, 300}, dpi);
    const PixelRect b = ToPixels({2005, 0, 1005, 300}, dpi);
    EXPECT_EQ(a.left + a.width, b.left) << dpi;
  }
}

}  // namespace
}  // namespace quorvel
