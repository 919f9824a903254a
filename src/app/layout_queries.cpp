#include "app/layout_queries.h"

#include <algorithm>

namespace quorvel {
namespace {

bool HasArea(const ControlSpec& control) {
  return control.kind != ControlKind::kTimer && control.kind != ControlKind::kLine &&
         (control.flags & kHidden) == 0;
}

}  // namespace

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

}  // namespace quorvel
