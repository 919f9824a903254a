#include "app/layout_queries.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace quorvel {
namespace {

bool HasArea(const ControlSpec& control) {
  return control.kind != ControlKind::kTimer && control.kind != ControlKind::kLine &&
         (control.flags & kHidden) == 0;
}

}  // namespace

ControlModel StartUpModel() {
  ControlModel model;
  for (const WindowSpec* window : {&ScannerFormLayout(), &SaveDirFormLayout()}) {
    for (const ControlSpec& row : window->controls) {
      const bool option = row.kind == ControlKind::kOptionButton;
      model.Init(row.id, {.text = row.caption,
                          .value = (row.flags & kSelected) != 0,
                          .back = row.back,
                          .fore = row.fore,
                          .visible = (row.flags & kHidden) == 0,
                          .timer_enabled = (row.flags & kEnabledTimer) != 0,
                          .interval_ms = row.interval_ms,
                          // A control array's option buttons form one group.
                          .group = option ? Member(row.id, -row.index) : ControlId::kNone});
    }
  }
  return model;
}

TwipRect AbsoluteRect(const ControlSpec& control) {
  TwipRect rect{control.left, control.top, control.width, control.height};
  if (control.container != ControlId::kNone) {
    const ControlSpec& frame = SpecOf(control.container);
    rect.left += frame.left;
    rect.top += frame.top;
  }
  return rect;
}

std::vector<const ControlSpec*> TabOrder(const WindowSpec& window) {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& control : window.controls) {
    const bool focusable = HasArea(control) && control.kind != ControlKind::kLabel &&
                           control.kind != ControlKind::kFrame && control.tab_index >= 0;
    if (focusable) order.push_back(&control);
  }
  std::sort(order.begin(), order.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tab_index < b->tab_index; });
  return order;
}

bool IsBareSurface(const WindowSpec& window, int x_twips, int y_twips) {
  return std::none_of(window.controls.begin(), window.controls.end(), [&](const ControlSpec& c) {
    return HasArea(c) && AbsoluteRect(c).Contains(x_twips, y_twips);
  });
}

std::vector<const ControlSpec*> StackingOrder(const WindowSpec& window) {
  std::vector<const ControlSpec*> order;
  auto add_layer = [&](auto belongs) {
    for (const ControlSpec& control : window.controls) {
      if (!belongs(control) || control.container != ControlId::kNone) continue;
      if (control.kind == ControlKind::kFrame) {
        for (const ControlSpec& inner : window.controls) {
          if (inner.container == control.id) order.push_back(&inner);
        }
      }
      order.push_back(&control);
    }
  };
  const auto windowed = [](const ControlSpec& c) {
    return c.kind != ControlKind::kTimer && c.kind != ControlKind::kLine;
  };
  add_layer([&](const ControlSpec& c) { return windowed(c) && c.kind != ControlKind::kLabel; });
  add_layer([](const ControlSpec& c) { return c.kind == ControlKind::kLabel; });
  return order;
}

std::vector<const ControlSpec*> OptionGroup(const WindowSpec& window, const ControlSpec& option) {
  std::vector<const ControlSpec*> group;
  for (const ControlSpec& control : window.controls) {
    if (control.kind == ControlKind::kOptionButton && control.container == option.container &&
        std::string_view(control.name) == option.name) {
      group.push_back(&control);
    }
  }
  std::sort(group.begin(), group.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tab_index < b->tab_index; });
  return group;
}

PixelRect ToPixels(const TwipRect& rect, int dpi) {
  const int left = TwipsToPixels(rect.left, dpi);
  const int top = TwipsToPixels(rect.top, dpi);
  return {left, top, TwipsToPixels(rect.left + rect.width, dpi) - left,
          TwipsToPixels(rect.top + rect.height, dpi) - top};
}

int PointsToPixels(double points, int dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

const ControlSpec* NextInTabOrder(const WindowSpec& window, ControlId from, bool backwards) {
  const std::vector<const ControlSpec*> order = TabOrder(window);
  if (order.empty()) return nullptr;
  const auto at = std::find_if(order.begin(), order.end(),
                               [from](const ControlSpec* c) { return c->id == from; });
  const auto count = static_cast<std::ptrdiff_t>(order.size());
  if (at == order.end()) return backwards ? order.back() : order.front();
  const std::ptrdiff_t next = ((at - order.begin()) + (backwards ? count - 1 : 1)) % count;
  return order[static_cast<std::size_t>(next)];
}

}  // namespace quorvel
