#include "x11_key_event.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "event_log.h"

namespace quorvel {
namespace {

std::optional<char32_t> CharacterOf(KeySym sym) {
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) {
    return static_cast<char32_t>(sym);
  }
  if (sym >= 0x01000000 && sym <= 0x0110FFFF) return static_cast<char32_t>(sym - 0x01000000);
  return std::nullopt;
}

}  // namespace

std::optional<ReceivedKey> TranslateKeyPress(XKeyEvent& event) {
  char text[16];
  KeySym sym = NoSymbol;
  XLookupString(&event, text, sizeof text, &sym, nullptr);
  if (IsModifierKey(sym)) return std::nullopt;
  std::optional<Key> key;
  if (sym == XK_Return || sym == XK_KP_Enter) {
    key = Key{Key::Kind::kEnter, U'\r'};
  } else if (sym == XK_Tab || sym == XK_ISO_Left_Tab) {
    key = Key{Key::Kind::kTab, U'\t'};
  } else if (const auto c = CharacterOf(sym)) {
    key = Key{(event.state & Mod1Mask) != 0 ? Key::Kind::kAltChord : Key::Kind::kCharacter, *c};
  }
  if (key) return ReceivedKey{key, SpellKey(*key)};
  const char* name = XKeysymToString(sym);
  return ReceivedKey{std::nullopt, std::string("{") + (name != nullptr ? name : "?") + "}"};
}

}  // namespace quorvel
