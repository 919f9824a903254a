// The layout of both windows as data: every control with its kind, start-up caption or text,
// place and size in twips, tab index, colours and font. Both toolkit bindings build their
// widgets from these rows.
#pragma once

#include <span>

#include "controls/color.h"
#include "controls/control_id.h"

namespace quorvel {

enum class ControlKind {
  kTextBox,
  kMultiLineTextBox,
  kFrame,
  kOptionButton,
  kCommandButton,
  kComboBox,
  kListBox,
  kLabel,
  kLine,
  kTimer,
  kDriveList,
  kDirList,
};

struct FontSpec {
  const char* face;
  double points;
  bool bold;
};
inline constexpr FontSpec kDefaultFont{"MS Sans Serif", 8.25, false};
inline constexpr FontSpec kBoldFont{"MS Sans Serif", 8.25, true};
inline constexpr FontSpec kHeadingFont{"MS Sans Serif", 9.75, true};

enum ControlFlag : unsigned {
  kNoFlags = 0,
  kHidden = 1u << 0,
  kVerticalScroll = 1u << 1,
  kCentred = 1u << 2,
  kFlat = 1u << 3,
  kSelected = 1u << 4,  // option button chosen at start-up
  kEnabledTimer = 1u << 5,
};

// One row of the table; what a row leaves out has the value given here.
struct ControlSpec {
  ControlId id;
  const char* name;  // the control's name; arrays share it
  int index = -1;    // member index in a control array, -1 for a single control
  ControlKind kind;
  const char* caption = "";  // caption or text at start-up
  // Twips from the top left of the client area, or of the frame named by `container`.
  // A line gives its two end points instead: (left, top) to (width, height).
  int left = 0, top = 0, width = 0, height = 0;
  int tab_index = -1;  // -1: takes no focus
  Color back = kButtonFace, fore = kButtonText;
  FontSpec font = kDefaultFont;
  ControlId container = ControlId::kNone;
  unsigned flags = kNoFlags;
  int interval_ms = 0;  // timers only
};

struct WindowSpec {
  const char* caption;
  int client_width, client_height;  // twips
  bool sizable;
  std::span<const ControlSpec> controls;  // stacking order, the first on top
};

// 15 twips make a pixel at 96 dots per inch.
inline constexpr int kTwipsPerInch = 1440;
constexpr int TwipsToPixels(int twips, int dpi) {
  return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

const WindowSpec& ScannerFormLayout();
const WindowSpec& SaveDirFormLayout();
// The row of a control, in whichever window holds it.
const ControlSpec& SpecOf(ControlId id);

}  // namespace quorvel
