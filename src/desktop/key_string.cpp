#include "desktop/key_string.h"

#include "common/utf8.h"

namespace quorvel {

KeyString& KeyString::Alt(char32_t letter) {
  keys_.push_back({Key::Kind::kAltChord, letter});
  return *this;
}

KeyString& KeyString::Enter() {
  keys_.push_back({Key::Kind::kEnter, U'\r'});
  return *this;
}

KeyString& KeyString::Tab(int count) {
  for (int i = 0; i < count; ++i) keys_.push_back({Key::Kind::kTab, U'\t'});
  return *this;
}

KeyString& KeyString::Text(std::string_view utf8) {
  for (char32_t c : DecodeUtf8(utf8)) keys_.push_back({Key::Kind::kCharacter, c});
  return *this;
}

std::string KeyString::ToText() const {
  std::string out;
  for (const Key& key : keys_) {
    if (key.kind == Key::Kind::kAltChord) out.push_back('%');
    AppendUtf8(out, key.character);
  }
  return out;
}

}  // namespace quorvel
