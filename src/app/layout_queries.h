// Questions both toolkit bindings ask of the layout table.
#pragma once

#include <vector>

#include "app/layout.h"

namespace quorvel {

struct TwipRect {
  int left, top, width, height;
  bool Contains(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

// The control's rectangle in twips from the window's client area, its frame's offset added.
TwipRect AbsoluteRect(const ControlSpec& control);

// The controls that take the focus, in tab-index order (labels, frames, lines, timers and hidden
// controls take none).
std::vector<const ControlSpec*> TabOrder(const WindowSpec& window);

// True where a click lands on the window's own surface: no control, label or frame lies there
// (a line does not count, nor does a hidden control).
bool IsBareSurface(const WindowSpec& window, int x_twips, int y_twips);

}  // namespace quorvel
