// The log of the stand-in scanning applications and the focus thieves, the same on X11 and on
// Windows: one line per event, its fields separated by tabs, each line written whole and flushed
// at once so that a test can read it while the program runs.
//   key    <title>  <key>       a key that a window took: {ENTER}, {TAB}, %x for Alt+x, a
//                                character as itself (UTF-8), {name} for another key; <title>
//                                is the title of its top-level window
//   stray  <title>  <key>       (Windows) a key that reached a window of another program, with
//                                the title of the foreground window
//   box    <title>  shown|closed   the box after a scan
//   save   <name>   ok|failed      a save from the dialog, under the name typed there
//   done                           the last page is saved
//   steal  <title>                 (thief) it took the focus from that window
//   grab, ungrab                   (thief) it holds the keyboard, or let it go
//   hung   <title>                 (hung dialog) it stopped taking messages
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "desktop/key_string.h"

namespace quorvel {

std::string SpellKey(const Key& key);

class EventLog {
 public:
  explicit EventLog(const std::string& path);  // appends; no log when the path is empty
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  bool ok() const { return path_empty_ || file_ != nullptr; }
  // Safe to call from any thread.
  void Line(const std::string& event, const std::string& first = {},
            const std::string& second = {});

 private:
  bool path_empty_;
  std::FILE* file_ = nullptr;
  std::mutex mutex_;
};

}  // namespace quorvel
