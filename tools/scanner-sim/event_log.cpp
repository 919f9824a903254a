#include "event_log.h"

#include "common/utf8.h"

namespace quorvel {

std::string SpellKey(const Key& key) {
  std::string text;
  switch (key.kind) {
    case Key::Kind::kEnter:
      return "{ENTER}";
    case Key::Kind::kTab:
      return "{TAB}";
    case Key::Kind::kAltChord:
      text = "%";
      break;
    case Key::Kind::kCharacter:
      break;
  }
  AppendUtf8(text, key.character);
  return text;
}

EventLog::EventLog(const std::string& path) : path_empty_(path.empty()) {
  if (!path.empty()) file_ = std::fopen(path.c_str(), "ab");
}

EventLog::~EventLog() {
  if (file_ != nullptr) std::fclose(file_);
}

void EventLog::Line(const std::string& event, const std::string& first, const std::string& second) {
  if (file_ == nullptr) return;
  std::string line = event;
  for (const std::string* field : {&first, &second}) {
    if (!field->empty()) line += '\t' + *field;
  }
  line += '\n';
  std::lock_guard lock(mutex_);
  std::fputs(line.c_str(), file_);
  std::fflush(file_);
}

}  // namespace quorvel
