// The keysyms and keycodes the X11 port types characters with.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "desktop/x11_keyboard.h"

namespace quorvel {
namespace {

TEST(X11KeyboardTest, TypesLatin1AsItselfAndTheRestAsUnicodeKeysyms) {
  struct Case {
    char32_t character;
    unsigned long keysym;
  };
  const Case cases[] = {{U'a', 0x61},
                        {U'%', 0x25},
                        {U' ', 0x20},
                        {U'\u00e9', 0xe9},
                        {U'\u00a0', 0xa0},
                        {U'\u20ac', 0x010020ac},
                        {U'\u540d', 0x0100540d},
                        {U'\x7f', 0x0100007f},
                        {U'\x01', 0x01000001}};
  for (const Case& c : cases) {
    EXPECT_EQ(KeysymForCharacter(c.character), c.keysym) << static_cast<unsigned>(c.character);
  }
}

TEST(X11KeymapTest, TypesWithTheLowestKeycodeAndBorrowsTheLowestEmptyOne) {
  using Stroke = X11Keymap::Stroke;
  // Keycodes 8 to 11, plain and shifted: none, "9 (", none, and "(" as evdev's keypad has it.
  X11Keymap keymap{8, 2, {NoSymbol, NoSymbol, XK_9, XK_parenleft, 0, 0, XK_parenleft, 0}};
  EXPECT_EQ(keymap.Find(XK_parenleft), (Stroke{9, true}));
  EXPECT_EQ(keymap.LowestEmpty(), KeyCode{8});
  keymap.Set(8, XK_eacute);
  EXPECT_EQ(keymap.Find(XK_eacute), (Stroke{8, false}));
  EXPECT_EQ(keymap.LowestEmpty(), KeyCode{10});
}

}  // namespace
}  // namespace quorvel
