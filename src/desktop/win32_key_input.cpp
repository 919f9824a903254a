#include "desktop/win32_key_input.h"

namespace quorvel {
namespace {

INPUT VirtualKey(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT UnicodeUnit(wchar_t unit, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = static_cast<WORD>(unit);
  input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return input;
}

void Press(std::vector<INPUT>& out, WORD vk) {
  out.push_back(VirtualKey(vk, false));
  out.push_back(VirtualKey(vk, true));
}

// The virtual key of a chord's letter or digit: its upper-case character code.
WORD ChordKey(char32_t letter) {
  if (letter >= U'a' && letter <= U'z') letter -= U'a' - U'A';
  return static_cast<WORD>(letter);
}

}  // namespace

std::vector<INPUT> KeyInputs(const Key& key) {
  std::vector<INPUT> out;
  switch (key.kind) {
    case Key::Kind::kAltChord:
      out.push_back(VirtualKey(VK_MENU, false));
      Press(out, ChordKey(key.character));
      out.push_back(VirtualKey(VK_MENU, true));
      break;
    case Key::Kind::kEnter:
      Press(out, VK_RETURN);
      break;
    case Key::Kind::kTab:
      Press(out, VK_TAB);
      break;
    case Key::Kind::kCharacter: {
      wchar_t units[2] = {static_cast<wchar_t>(key.character), 0};
      int count = 1;
      if (key.character >= 0x10000) {
        const char32_t c = key.character - 0x10000;
        units[0] = static_cast<wchar_t>(0xD800 + (c >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        count = 2;
      }
      for (int i = 0; i < count; ++i) out.push_back(UnicodeUnit(units[i], false));
      for (int i = 0; i < count; ++i) out.push_back(UnicodeUnit(units[i], true));
      break;
    }
  }
  return out;
}

std::vector<INPUT> ReleasesOfHeld(std::span<const INPUT> sent) {
  std::vector<INPUT> held;
  for (const INPUT& input : sent) {
    if (!(input.ki.dwFlags & KEYEVENTF_KEYUP)) {
      held.push_back(input);
      continue;
    }
    std::erase_if(held, [&](const INPUT& pressed) {
      return pressed.ki.wVk == input.ki.wVk && pressed.ki.wScan == input.ki.wScan &&
             (pressed.ki.dwFlags & KEYEVENTF_UNICODE) == (input.ki.dwFlags & KEYEVENTF_UNICODE);
    });
  }
  std::vector<INPUT> releases(held.rbegin(), held.rend());
  for (INPUT& release : releases) release.ki.dwFlags |= KEYEVENTF_KEYUP;
  return releases;
}

}  // namespace quorvel
