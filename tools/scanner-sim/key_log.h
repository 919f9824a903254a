// The log of the stand-in and of the focus thief: one line per event, tab-separated, flushed at
// once so that a test can read it while the program runs.
//   key  <window title>  <key>     %n for Alt+N, {ENTER}, {TAB}, else the character (UTF-8)
//   page <number>                  an error box opened after a scan
//   save <name>  ok|failed
#pragma once

#include <cstdio>
#include <string>

#include "desktop/key_string.h"

namespace quorvel {

std::string SpellKey(const Key& key);

class KeyLog {
 public:
  explicit KeyLog(const std::string& path);  // no log when the path is empty
  ~KeyLog();
  KeyLog(const KeyLog&) = delete;
  KeyLog& operator=(const KeyLog&) = delete;

  bool ok() const { return path_empty_ || file_ != nullptr; }
  void Line(const std::string& kind, const std::string& first, const std::string& second = {});

 private:
  bool path_empty_;
  std::FILE* file_ = nullptr;
};

}  // namespace quorvel
