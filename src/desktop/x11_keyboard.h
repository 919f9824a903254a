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

// The core keymap as the server gives it: `per_code` keysyms for each keycode from `min_code`.
struct X11Keymap {
  struct Stroke {
    KeyCode code = 0;
    bool shift = false;
    bool operator==(const Stroke&) const = default;
  };

  int min_code = 8;
  int per_code = 1;
  std::vector<KeySym> syms;

  KeySym At(KeyCode code, int column) const;
  // The key that types `sym` plain or with Shift (the columns reachable without a layout switch).
  // Of several, the lowest keycode: the main block comes before the extra keys that keymaps put
  // at the end (evdev's keypad parentheses at 187 and 188), which Wine cannot translate.
  std::optional<Stroke> Find(KeySym sym) const;
  // The lowest keycode with no symbols (no key of the keyboard types it). Wine hands out its
  // spare key codes in keycode order and runs out long before the end of a full keymap (with
  // evdev's, the seventh lowest empty keycode is the last to get one); a character on a keycode
  // left without one reaches its windows as a key with no character.
  std::optional<KeyCode> LowestEmpty() const;
  void Set(KeyCode code, KeySym sym);  // `sym` plain and with Shift, or none for NoSymbol
};

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
  // A client may read a key press against the keymap of the moment it handles the press, not of
  // the moment it was typed (Wine turns a key into a character only when its window takes the
  // key from its queue); so a spare keycode keeps its character until the receiver has read the
  // keys typed with it (KeysRead), or, for a receiver that cannot tell, for kKeepMapped after
  // they went out. Spare keycodes that are no longer needed are given back here, and at the
  // latest when the keyboard is destroyed.
  bool Prepare(const std::vector<Key>& keys);

  // Queues the fake key events of `keys` (prepared before); nothing is flushed. Every key that
  // is pressed is released again, modifiers included, also when typing stops half-way. False:
  // a key was not on the keymap, and it and the keys after it were not typed.
  bool Type(const std::vector<Key>& keys);

  // The receiver has read every key typed so far.
  void KeysRead();

 private:
  void ReadKeymap();
  std::optional<KeyCode> MapOnSpare(KeySym sym);
  void Restore(KeyCode code);
  void Remap(KeyCode code, KeySym sym);  // on the server and in keymap_
  void Tap(const X11Keymap::Stroke& stroke, KeyCode modifier);

  Display* display_;
  int max_code_ = 255;
  X11Keymap keymap_;
  using Clock = std::chrono::steady_clock;
  static constexpr auto kKeepMapped = std::chrono::milliseconds(500);
  struct Borrowed {
    KeySym sym;
    Clock::time_point last_typed;
    bool read = false;  // the receiver has read every key typed with it
  };
  std::map<KeyCode, Borrowed> borrowed_;  // spare keycodes mapped by us
  KeyCode shift_ = 0;
  KeyCode alt_ = 0;
};

// The keysym that types the character `c` (Latin-1 keysyms are the code points themselves).
KeySym KeysymForCharacter(char32_t c);

}  // namespace quorvel
