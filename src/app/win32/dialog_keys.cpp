#include "app/win32/dialog_keys.h"

#include <algorithm>
#include <vector>

#include "app/layout_queries.h"

namespace quorvel {
namespace {

bool KeyDown(int virtual_key) {
  return (GetKeyState(virtual_key) & 0x8000) != 0;
}

void FocusControl(HWND control) {
  SetFocus(control);
  // Entering a text field by keyboard selects its text, as in a dialog.
  HWND focus = GetFocus();
  if ((SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
    SendMessageW(focus, EM_SETSEL, 0, -1);
  }
}

// The arrow keys move round the option buttons of a group, in tab order, and choose the one
// they reach.
void StepOptionGroup(const FormWindow& window, ControlId current, bool forward) {
  const std::vector<const ControlSpec*> group = OptionGroup(window.Layout(), SpecOf(current));
  const auto at = std::find_if(group.begin(), group.end(),
                               [current](const ControlSpec* c) { return c->id == current; });
  if (group.size() < 2 || at == group.end()) return;
  const auto count = static_cast<std::ptrdiff_t>(group.size());
  const std::ptrdiff_t next = ((at - group.begin()) + (forward ? 1 : count - 1)) % count;
  HWND target = window.ControlWindow(group[static_cast<std::size_t>(next)]->id);
  FocusControl(target);
  SendMessageW(target, BM_CLICK, 0, 0);
}

}  // namespace

bool TranslateDialogKeys(MSG& msg, const FormWindow& window) {
  HWND root = window.Handle();
  if (root == nullptr || (msg.hwnd != root && !IsChild(root, msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
    const ControlId current = window.ControlOf(GetFocus());
    if (msg.wParam == VK_TAB) {
      const ControlSpec* next = NextInTabOrder(window.Layout(), current, KeyDown(VK_SHIFT));
      if (next != nullptr && next->id != current) FocusControl(window.ControlWindow(next->id));
      return true;
    }
    const bool forward = msg.wParam == VK_DOWN || msg.wParam == VK_RIGHT;
    const bool back = msg.wParam == VK_UP || msg.wParam == VK_LEFT;
    if ((forward || back) && current != ControlId::kNone &&
        SpecOf(current).kind == ControlKind::kOptionButton) {
      StepOptionGroup(window, current, forward);
      return true;
    }
  }
  return IsDialogMessageW(root, &msg) != FALSE;
}

}  // namespace quorvel
