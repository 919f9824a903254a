// A sequence of keystrokes in which a filename stays literal text.
//
// The key-string syntax reads "%" followed by a character as an Alt chord. Filenames are
// inserted into key strings unescaped, so a name holding "%" would press Alt. Keeping the
// cycle's own keys (Alt chords, Enter, Tab) apart from typed text removes that hazard: a
// desktop port types every character of a name as the character it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

struct Key {
  enum class Kind { kCharacter, kAltChord, kEnter, kTab };
  Kind kind = Kind::kCharacter;
  char32_t character = 0;  // the character typed, or the letter of an Alt chord

  bool operator==(const Key&) const = default;
};

class KeyString {
 public:
  KeyString& Alt(char32_t letter);
  KeyString& Enter();
  KeyString& Tab(int count = 1);
  // Every character of `utf8` typed as itself (bytes that are not UTF-8 count as Latin-1).
  KeyString& Text(std::string_view utf8);

  const std::vector<Key>& Keys() const { return keys_; }
  bool Empty() const { return keys_.empty(); }

  // The classic key-string spelling: "%n" for Alt+N, CR for Enter, TAB for Tab, and the typed
  // characters as UTF-8. For logs and comparisons only; it is never parsed back.
  std::string ToText() const;

  bool operator==(const KeyString&) const = default;

 private:
  std::vector<Key> keys_;
};

}  // namespace quorvel
