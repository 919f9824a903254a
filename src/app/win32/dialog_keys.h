// Dialog-style keyboard navigation for a window built from the layout table.
#pragma once

#include <windows.h>

#include "app/win32/form_window.h"
#include "controls/control_model.h"

namespace quorvel {

// Handles the message when it is a navigation key for `window`; true when it was used up.
// Tab and Shift+Tab follow the table's tab order (the system's dialog navigation would follow
// the stacking order, which differs here); the arrow keys move between the option buttons of a
// group and choose the one they reach; the rest of dialog navigation (Enter, Esc, mnemonics) is
// the system's.
bool TranslateDialogKeys(MSG& msg, const FormWindow& window);

}  // namespace quorvel
