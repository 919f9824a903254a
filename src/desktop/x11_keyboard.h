// Fake keystrokes through the XTest extension. Every character is typed as the character it
// is, whatever the keyboard layout: a character that the current keymap lacks is put on a spare
// keycode (one with no symbols) for as long as it is needed.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <map>
#include <optional>
#include <vector>

#include "desktop/key_string.h"

namespace quorvel {

class X11Keyboard {
 public:
  // Throws std::runtime_error when the server lacks the XTest extension.
  explicit X11Keyboard(Display* display);
  ~X11Keyboard();  // gives the spare keycodes back their empty mapping
  X11Keyboard(const X11Keyboard&) = delete;
  X11Keyboard& operator=(const X11Keyboard&) = delete;

  // Reads the keymap and puts every character of `keys` that it lacks on a spare keycode.
  // False: no spare keycode left.
  //
  // A client reads a key press against the keymap of the moment it handles the press, not of
  // the moment it was typed; so a spare keycode keeps its character until the receiving window
  // has surely read the keys (kKeepMapped after they went out). Spare keycodes that are no
  // longer needed are given back here, and at the latest when the keyboard is destroyed.
  bool Prepare(const std::vector<Key>& keys);

  // Queues the fake key events of `keys` (prepared before); nothing is flushed. Every key that
  // is pressed is released again, modifiers included, also when typing stops half-way. False:
  // a key was not on the keymap, and it and the keys after it were not typed.
  bool Type(const std::vector<Key>& keys);

 private:
  struct Stroke {
    KeyCode code = 0;
    bool shift = false;
  };

  void ReadKeymap();
  std::optional<Stroke> Find(KeySym sym) const;
  std::optional<KeyCode> MapOnSpare(KeySym sym);
  void Restore(KeyCode code);
  void Tap(const Stroke& stroke, KeyCode modifier);

  Display* display_;
  int min_code_ = 8;
  int max_code_ = 255;
  int syms_per_code_ = 1;
  std::vector<KeySym> keymap_;  // syms_per_code_ per keycode from min_code_
  using Clock = std::chrono::steady_clock;
  static constexpr auto kKeepMapped = std::chrono::milliseconds(500);
  struct Borrowed {
    KeySym sym;
    Clock::time_point last_typed;
  };
  std::map<KeyCode, Borrowed> borrowed_;  // spare keycodes mapped by us
  KeyCode shift_ = 0;
  KeyCode alt_ = 0;
};

// The keysym that types the character `c` (Latin-1 keysyms are the code points themselves).
KeySym KeysymForCharacter(char32_t c);

}  // namespace quorvel
