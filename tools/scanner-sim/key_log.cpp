#include "key_log.h"

#include "common/utf8.h"

namespace quorvel {

std::string SpellKey(const Key& key) {
  switch (key.kind) {
    case Key::Kind::kEnter:
      return "{ENTER}";
    case Key::Kind::kTab:
      return "{TAB}";
    case Key::Kind::kAltChord: {
      std::string text = "%";
      AppendUtf8(text, key.character);
      return text;
    }
    case Key::Kind::kCharacter:
      break;
  }
  std::string text;
  AppendUtf8(text, key.character);
  return text;
}

KeyLog::KeyLog(const std::string& path) : path_empty_(path.empty()) {
  if (!path.empty()) file_ = std::fopen(path.c_str(), "a");
}

KeyLog::~KeyLog() {
  if (file_ != nullptr) std::fclose(file_);
}

void KeyLog::Line(const std::string& kind, const std::string& first, const std::string& second) {
  if (file_ == nullptr) return;
  std::fprintf(file_, "%s\t%s", kind.c_str(), first.c_str());
  if (!second.empty()) std::fprintf(file_, "\t%s", second.c_str());
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace quorvel
