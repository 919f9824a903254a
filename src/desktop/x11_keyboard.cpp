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

KeySym X11Keymap::At(KeyCode code, int column) const {
  return syms[static_cast<std::size_t>((code - min_code) * per_code + column)];
}

std::optional<X11Keymap::Stroke> X11Keymap::Find(KeySym sym) const {
  const int columns = std::min(per_code, 2);
  const int codes = static_cast<int>(syms.size()) / per_code;
  for (int code = min_code; code < min_code + codes; ++code) {
    for (int column = 0; column < columns; ++column) {
      if (At(static_cast<KeyCode>(code), column) == sym) {
        return Stroke{static_cast<KeyCode>(code), column == 1};
      }
    }
  }
  return std::nullopt;
}

std::optional<KeyCode> X11Keymap::LowestEmpty() const {
  const int codes = static_cast<int>(syms.size()) / per_code;
  for (int code = min_code; code < min_code + codes; ++code) {
    const auto first = syms.begin() + (code - min_code) * per_code;
    if (std::all_of(first, first + per_code, [](KeySym s) { return s == NoSymbol; })) {
      return static_cast<KeyCode>(code);
    }
  }
  return std::nullopt;
}

void X11Keymap::Set(KeyCode code, KeySym sym) {
  const auto first = syms.begin() + (code - min_code) * per_code;
  std::fill(first, first + per_code, NoSymbol);
  first[0] = sym;
  if (per_code > 1) first[1] = sym;  // the same character with Shift held
}

X11Keyboard::X11Keyboard(Display* display) : display_(display) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor)) {
    throw std::runtime_error("the X server has no XTest extension");
  }
  XDisplayKeycodes(display_, &keymap_.min_code, &max_code_);
  ReadKeymap();
}

X11Keyboard::~X11Keyboard() {
  if (borrowed_.empty()) return;
  Clock::time_point latest{};
  for (const auto& [code, borrowed] : borrowed_) {
    if (!borrowed.read) latest = std::max(latest, borrowed.last_typed);
  }
  std::this_thread::sleep_until(latest + kKeepMapped);
  while (!borrowed_.empty()) Restore(borrowed_.begin()->first);
  XSync(display_, False);
}

void X11Keyboard::ReadKeymap() {
  const int count = max_code_ - keymap_.min_code + 1;
  KeySym* syms = XGetKeyboardMapping(display_, static_cast<KeyCode>(keymap_.min_code), count,
                                     &keymap_.per_code);
  keymap_.syms.assign(syms, syms + count * keymap_.per_code);
  XFree(syms);
  const auto code_of = [this](KeySym sym) -> KeyCode {
    const auto stroke = keymap_.Find(sym);
    return stroke && !stroke->shift ? stroke->code : 0;
  };
  shift_ = code_of(XK_Shift_L);
  if (shift_ == 0) shift_ = code_of(XK_Shift_R);
  alt_ = code_of(XK_Alt_L);
  if (alt_ == 0) alt_ = code_of(XK_Meta_L);
}

bool X11Keyboard::Prepare(const std::vector<Key>& keys) {
  ReadKeymap();
  // A keycode that no longer holds our character has been given a new meaning (a new layout
  // was loaded): it is not ours to give back any more.
  std::erase_if(borrowed_, [this](const auto& entry) {
    return keymap_.At(entry.first, 0) != entry.second.sym;
  });
  std::set<KeySym> wanted;
  for (const Key& key : keys) wanted.insert(KeysymFor(key));
  const Clock::time_point now = Clock::now();
  for (auto it = borrowed_.begin(); it != borrowed_.end();) {
    const auto [code, borrowed] = *it++;
    if (wanted.contains(borrowed.sym)) continue;
    if (borrowed.read || now - borrowed.last_typed >= kKeepMapped) Restore(code);
  }
  bool changed = false;
  for (KeySym sym : wanted) {
    if (keymap_.Find(sym)) continue;
    if (!MapOnSpare(sym)) return false;
    changed = true;
  }
  if (changed) XSync(display_, False);
  return true;
}

std::optional<KeyCode> X11Keyboard::MapOnSpare(KeySym sym) {
  const auto code = keymap_.LowestEmpty();
  if (!code) return std::nullopt;
  Remap(*code, sym);
  borrowed_[*code] = {sym, Clock::now()};
  return code;
}

void X11Keyboard::Restore(KeyCode code) {
  Remap(code, NoSymbol);
  borrowed_.erase(code);
}

void X11Keyboard::Remap(KeyCode code, KeySym sym) {
  keymap_.Set(code, sym);
  const auto row = static_cast<std::size_t>((code - keymap_.min_code) * keymap_.per_code);
  XChangeKeyboardMapping(display_, code, keymap_.per_code, &keymap_.syms[row], 1);
}

void X11Keyboard::KeysRead() {
  for (auto& [code, borrowed] : borrowed_) borrowed.read = true;
}

bool X11Keyboard::Type(const std::vector<Key>& keys) {
  const CapsLockOff caps_lock_off(display_);
  for (const Key& key : keys) {
    const auto stroke = keymap_.Find(KeysymFor(key));
    if (!stroke) return false;
    if (const auto borrowed = borrowed_.find(stroke->code); borrowed != borrowed_.end()) {
      borrowed->second = {borrowed->second.sym, Clock::now(), false};
    }
    Tap(*stroke, key.kind == Key::Kind::kAltChord ? alt_ : 0);
  }
  return true;
}

void X11Keyboard::Tap(const X11Keymap::Stroke& stroke, KeyCode modifier) {
  const HeldKey held_modifier(display_, modifier);
  const HeldKey held_shift(display_, stroke.shift ? shift_ : 0);
  const HeldKey key(display_, stroke.code);
}

}  // namespace quorvel
