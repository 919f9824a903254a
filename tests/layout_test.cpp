#include "app/layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/control_model.h"
#include "app/layout_queries.h"

namespace quorvel {
namespace {

TEST(LayoutTest, OperatorWindowHas25NamesAnd42Controls) {
  const WindowSpec& window = ScannerFormLayout();
  std::set<std::string> names;
  std::set<int> tab_indices;
  for (const ControlSpec& control : window.controls) {
    names.insert(control.name);
    if (control.tab_index >= 0) {
      EXPECT_TRUE(tab_indices.insert(control.tab_index).second) << control.name;
    }
  }
  EXPECT_EQ(window.controls.size(), 42u);
  EXPECT_EQ(names.size(), 25u);
  EXPECT_EQ(std::string(window.caption), "Odrin's HP Scanner Error Workaround");
  EXPECT_EQ(window.client_width, 10035);
  EXPECT_EQ(window.client_height, 4650);
  EXPECT_FALSE(window.sizable);
  EXPECT_EQ(SaveDirFormLayout().controls.size(), 3u);
  EXPECT_TRUE(SaveDirFormLayout().sizable);
}

TEST(LayoutTest, StatusLinesOverlapWithTheHigherIndexOnTop) {
  const auto& controls = ScannerFormLayout().controls;
  for (int line = 0; line < kStatusLines; ++line) {
    const ControlSpec& row = controls[static_cast<std::size_t>(9 - line)];
    EXPECT_EQ(row.id, DelayText(line));
    EXPECT_EQ(row.top, 120 + 240 * line);
    EXPECT_EQ(row.height, 285);
    EXPECT_EQ(row.tab_index, line == 9 ? 38 : 28 + line);
    EXPECT_TRUE(row.font.bold);
    EXPECT_EQ(row.fore, kWhite);
  }
}

TEST(LayoutTest, TabOrderStartsInTheSeedFilenameBox) {
  const auto order = TabOrder(ScannerFormLayout());
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(order.front()->id, ControlId::kSeedText);
  EXPECT_EQ(order[1]->id, ControlId::kSeedNumberText);
  for (const ControlSpec* control : order) {
    EXPECT_NE(control->kind, ControlKind::kLabel);
    EXPECT_NE(control->id, ControlId::kList1);
  }
  // Combo1 and Command4 take the focus although Filenames covers them.
  EXPECT_EQ(order.size(), 30u);
  EXPECT_EQ(TabOrder(SaveDirFormLayout()).front()->id, ControlId::kDrive1);
}

TEST(LayoutTest, BareSurfaceIsWhereNoControlLabelOrFrameLies) {
  struct Case {
    int x, y;
    bool bare;
  } cases[] = {
      {4440, 2000, true},  // on the divider line
      {4300, 4600, true},  // bottom edge, below the list
      {5000, 900, false},  // "Seed" Number: label
      {200, 100, false},   // the frame
      {3100, 4500, true},  // where only the hidden List1 lies
      {2500, 300, false},  // an option button inside the frame
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsBareSurface(ScannerFormLayout(), c.x, c.y), c.bare) << c.x << "," << c.y;
  }
}

TEST(LayoutTest, ControlsInTheFrameAreOffsetByIt) {
  const TwipRect rect = AbsoluteRect(SpecOf(OptionAction(2)));
  EXPECT_EQ(rect.left, 120 + 2400);
  EXPECT_EQ(rect.top, 0 + 240);
  EXPECT_EQ(TwipsToPixels(10035, 96), 669);
  EXPECT_EQ(TwipsToPixels(4650, 96), 310);
}

TEST(ControlModelTest, StartUpValues) {
  ControlModel model;
  EXPECT_EQ(model.Text(DelayText(0)), "Waiting for Error");
  for (int line = 1; line < kStatusLines; ++line) EXPECT_EQ(model.Text(DelayText(line)), "");
  EXPECT_EQ(model.Text(ControlId::kSendLabel), "Not active");
  EXPECT_EQ(model.Text(ControlId::kCombo1), "Combo1");
  EXPECT_EQ(model.Text(ControlId::kSleepLabel), "");
  EXPECT_TRUE(model.Value(OptionAction(0)));
  for (int i = 0; i < 6; ++i) EXPECT_FALSE(model.Value(Option1(i)));
  EXPECT_TRUE(model[ControlId::kTimer1].timer_enabled);
  EXPECT_EQ(model[ControlId::kTimer1].interval_ms, 2500);
  EXPECT_FALSE(model[ControlId::kSleepTimer].timer_enabled);
  EXPECT_EQ(model[ControlId::kSleepTimer].interval_ms, 0);
  EXPECT_FALSE(model[ControlId::kList1].visible);
  EXPECT_EQ(model.Text(ControlId::kCommand1), "Got it!      Return");
}

TEST(ControlModelTest, OptionGroupsAreIndependent) {
  ControlModel model;
  model.SetValue(Option1(4), true);
  model.SetValue(Option1(2), true);
  EXPECT_FALSE(model.Value(Option1(4)));
  EXPECT_TRUE(model.Value(Option1(2)));
  EXPECT_TRUE(model.Value(OptionAction(0)));
  model.SetValue(OptionAction(1), true);
  EXPECT_FALSE(model.Value(OptionAction(0)));
  EXPECT_TRUE(model.Value(Option1(2)));
}

}  // namespace
}  // namespace quorvel
