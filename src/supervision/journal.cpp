#include "supervision/journal.h"

#include <cstdio>
#include <ctime>

#include "common/number_text.h"

namespace quorvel {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string LocalIsoTime(std::chrono::system_clock::time_point time) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  const std::tm local = *std::localtime(&seconds);  // the program's one thread is the only caller
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

std::string JournalText(const JournalLine& line) {
  return LocalIsoTime(line.time) + "," + line.event + "," + CsvField(line.name) + "," +
         CsvField(line.file) + "," +
         (line.bytes ? DecimalText(static_cast<long long>(*line.bytes)) : "") + "," +
         CsvField(line.detail) + std::string(kCrLf);
}

std::string Journal::PathIn(const std::string& folder) {
  return folder + kPathSeparator + std::string(kJournalFileName);
}

bool Journal::Write(const std::string& path, const std::string& text, std::string& error) {
  const std::optional<FileFacts> facts = files_.Facts(path);
  if (files_.NoAnswer()) {
    error = kNoAnswer;
    return false;
  }
  if (!facts || facts->size == 0) {
    return files_.Append(path, std::string(kJournalHeader) + std::string(kCrLf) + text, error);
  }
  return files_.Append(path, text, error);
}

}  // namespace quorvel
