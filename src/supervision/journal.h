// The journal of the scan series: quorvel-journal.csv in the save folder, one line per event,
// appended across series. Each line is written whole and handed to the disk at once, so that a
// crash loses none.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace quorvel {

inline constexpr std::string_view kJournalFileName = "quorvel-journal.csv";
inline constexpr std::string_view kJournalHeader = "time,event,name,file,bytes,detail";

struct JournalLine {
  std::chrono::system_clock::time_point time;
  // start, sent, saved, missing, missed, replace, stall, recovered, stop, end, resume, unwritten,
  // room
  std::string event;
  std::string name;
  std::string file;
  std::optional<std::uintmax_t> bytes;
  std::string detail;
};

// A field as a comma-separated file takes it: in double quotes, its own quotes doubled, when it
// holds a comma, a quote or a line end; else as it is.
std::string CsvField(std::string_view text);
// The time in local ISO 8601, to the second: "2026-12-07T14:03:22".
std::string LocalIsoTime(std::chrono::system_clock::time_point time);
// The line as the file holds it, with its CR LF.
std::string JournalText(const JournalLine& line);

class Journal {
 public:
  explicit Journal(FileSystem& files) : files_(files) {}

  // Appends lines, as JournalText made them, to the journal at `path`; a new journal starts with
  // its header. False, with `error` saying why, when they cannot be written.
  bool Write(const std::string& path, const std::string& text, std::string& error);
  static std::string PathIn(const std::string& folder);

 private:
  FileSystem& files_;
};

}  // namespace quorvel
