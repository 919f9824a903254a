// Questions both toolkit bindings ask of the layout table.
#pragma once

#include <vector>

#include "app/layout.h"
#include "controls/control_model.h"

namespace quorvel {

struct TwipRect {
  int left, top, width, height;
  bool Contains(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

// The control's rectangle in twips from the window's client area, its frame's offset added.
TwipRect AbsoluteRect(const ControlSpec& control);

// Every control of both windows with its start-up values from the table.
ControlModel StartUpModel();

// The controls that take the focus, in tab-index order (labels, frames, lines, timers and hidden
// controls take none).
std::vector<const ControlSpec*> TabOrder(const WindowSpec& window);

// True where a click lands on the window's own surface: no control, label or frame lies there
// (a line does not count, nor does a hidden control).
bool IsBareSurface(const WindowSpec& window, int x_twips, int y_twips);

// The controls that have an area of their own (hidden ones included), in the order they cover one
// another, topmost first: the table's order, except that a frame's controls lie just above their
// frame and the labels lie beneath all other controls, on the window's surface. Timers and lines
// are left out.
std::vector<const ControlSpec*> StackingOrder(const WindowSpec& window);

// The option buttons of the control's group (same name, same container), in tab-index order.
std::vector<const ControlSpec*> OptionGroup(const WindowSpec& window, const ControlSpec& option);

// A rectangle in pixels at `dpi` dots per inch. Edges are scaled, not sizes, so controls that
// touch in twips touch in pixels.
struct PixelRect {
  int left, top, width, height;
};
PixelRect ToPixels(const TwipRect& rect, int dpi);

// The twip at a pixel's position at `dpi` dots per inch (the inverse of TwipsToPixels).
constexpr int PixelsToTwips(int pixels, int dpi) {
  return (pixels * kTwipsPerInch + dpi / 2) / dpi;
}

// A font's height in pixels at `dpi` dots per inch (72 points make an inch).
int PointsToPixels(double points, int dpi);

// The control the Tab key moves the focus to from `from`, in tab-index order and round the end;
// `backwards` for Shift+Tab. From a control that takes no focus (or kNone) it moves to the first
// (or the last). Null when the window has no control that takes the focus.
const ControlSpec* NextInTabOrder(const WindowSpec& window, ControlId from, bool backwards);

}  // namespace quorvel
