#include "desktop/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <thread>

namespace quorvel {

KeySym KeysymForCharacter(char32_t c) {
  if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) return c;
  return 0x01000000 | c;
}

namespace {

KeySym KeysymFor(const Key& key) {
  switch (key.kind) {
    case Key::Kind::kEnter:
      return XK_Return;
    case Key::Kind::kTab:
      return XK_Tab;
    case Key::Kind::kAltChord:
    case Key::Kind::kCharacter:
      break;
  }
  return KeysymForCharacter(key.character);
}

// A press that is released whatever happens after it.
class HeldKey {
 public:
  HeldKey(Display* display, KeyCode code) : display_(display), code_(code) {
    if (code_ != 0) XTestFakeKeyEvent(display_, code_, True, CurrentTime);
  }
  ~HeldKey() {
    if (code_ != 0) XTestFakeKeyEvent(display_, code_, False, CurrentTime);
  }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

 private:
  Display* display_;
  KeyCode code_;
};

// Caps Lock off for as long as it lives, so that letters come out as typed; then back as it was.
class CapsLockOff {
 public:
  explicit CapsLockOff(Display* display) : display_(display) {
    XkbStateRec state{};
    locked_ = XkbGetState(display_, XkbUseCoreKbd, &state) == Success &&
              (state.locked_mods & LockMask) != 0;
    if (locked_) XkbLockModifiers(display_, XkbUseCoreKbd, LockMask, 0);
  }
  ~CapsLockOff() {
    if (locked_) XkbLockModifiers(display_, XkbUseCoreKbd, LockMask, LockMask);
  }
  CapsLockOff(const CapsLockOff&) = delete;
  CapsLockOff& operator=(const CapsLockOff&) = delete;

 private:
  Display* display_;
  bool locked_ = false;
};

}  // namespace

X11Keyboard::X11Keyboard(Display* display) : display_(display) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor)) {
    throw std::runtime_error("the X server has no XTest extension");
  }
  XDisplayKeycodes(display_, &min_code_, &max_code_);
  ReadKeymap();
}

X11Keyboard::~X11Keyboard() {
  if (borrowed_.empty()) return;
  Clock::time_point latest{};
  for (const auto& [code, borrowed] : borrowed_) latest = std::max(latest, borrowed.last_typed);
  std::this_thread::sleep_until(latest + kKeepMapped);
  while (!borrowed_.empty()) Restore(borrowed_.begin()->first);
  XSync(display_, False);
}

void X11Keyboard::ReadKeymap() {
  const int count = max_code_ - min_code_ + 1;
  KeySym* syms =
      XGetKeyboardMapping(display_, static_cast<KeyCode>(min_code_), count, &syms_per_code_);
  keymap_.assign(syms, syms + count * syms_per_code_);
  XFree(syms);
  const auto code_of = [this](KeySym sym) -> KeyCode {
    const auto stroke = Find(sym);
    return stroke && !stroke->shift ? stroke->code : 0;
  };
  shift_ = code_of(XK_Shift_L);
  if (shift_ == 0) shift_ = code_of(XK_Shift_R);
  alt_ = code_of(XK_Alt_L);
  if (alt_ == 0) alt_ = code_of(XK_Meta_L);
}

std::optional<X11Keyboard::Stroke> X11Keyboard::Find(KeySym sym) const {
  // Only the first two columns (plain and Shift) are reachable without a layout switch.
  const int columns = std::min(syms_per_code_, 2);
  for (int column = 0; column < columns; ++column) {
    for (int code = min_code_; code <= max_code_; ++code) {
      if (keymap_[static_cast<std::size_t>((code - min_code_) * syms_per_code_ + column)] == sym) {
        return Stroke{static_cast<KeyCode>(code), column == 1};
      }
    }
  }
  return std::nullopt;
}

bool X11Keyboard::Prepare(const std::vector<Key>& keys) {
  ReadKeymap();
  std::set<KeySym> wanted;
  for (const Key& key : keys) wanted.insert(KeysymFor(key));
  const Clock::time_point now = Clock::now();
  for (auto it = borrowed_.begin(); it != borrowed_.end();) {
    const auto [code, borrowed] = *it++;
    if (!wanted.contains(borrowed.sym) && now - borrowed.last_typed >= kKeepMapped) Restore(code);
  }
  bool changed = false;
  for (KeySym sym : wanted) {
    if (Find(sym)) continue;
    if (!MapOnSpare(sym)) return false;
    changed = true;
  }
  if (changed) XSync(display_, False);
  return true;
}

std::optional<KeyCode> X11Keyboard::MapOnSpare(KeySym sym) {
  // The highest keycode that has no symbols at all is one no keyboard produces.
  for (int code = max_code_; code >= min_code_; --code) {
    const auto first = keymap_.begin() + (code - min_code_) * syms_per_code_;
    bool empty = true;
    for (int i = 0; i < syms_per_code_; ++i) empty = empty && first[i] == NoSymbol;
    if (!empty) continue;
    std::vector<KeySym> row(static_cast<std::size_t>(syms_per_code_), NoSymbol);
    row[0] = sym;
    if (syms_per_code_ > 1) row[1] = sym;  // the same character with Shift held
    XChangeKeyboardMapping(display_, code, syms_per_code_, row.data(), 1);
    std::copy(row.begin(), row.end(), first);
    borrowed_[static_cast<KeyCode>(code)] = {sym, Clock::now()};
    return static_cast<KeyCode>(code);
  }
  return std::nullopt;
}

void X11Keyboard::Restore(KeyCode code) {
  std::vector<KeySym> row(static_cast<std::size_t>(syms_per_code_), NoSymbol);
  XChangeKeyboardMapping(display_, code, syms_per_code_, row.data(), 1);
  std::copy(row.begin(), row.end(), keymap_.begin() + (code - min_code_) * syms_per_code_);
  borrowed_.erase(code);
}

bool X11Keyboard::Type(const std::vector<Key>& keys) {
  const CapsLockOff caps_lock_off(display_);
  for (const Key& key : keys) {
    const auto stroke = Find(KeysymFor(key));
    if (!stroke) return false;
    if (const auto borrowed = borrowed_.find(stroke->code); borrowed != borrowed_.end()) {
      borrowed->second.last_typed = Clock::now();
    }
    Tap(*stroke, key.kind == Key::Kind::kAltChord ? alt_ : 0);
  }
  return true;
}

void X11Keyboard::Tap(const Stroke& stroke, KeyCode modifier) {
  const HeldKey held_modifier(display_, modifier);
  const HeldKey held_shift(display_, stroke.shift ? shift_ : 0);
  const HeldKey key(display_, stroke.code);
}

}  // namespace quorvel
