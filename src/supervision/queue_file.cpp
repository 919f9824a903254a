#include "supervision/queue_file.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/number_text.h"
#include "series/filename_list.h"
#include "settings/settings_file.h"
#include "supervision/journal.h"

namespace quorvel {
namespace {

constexpr std::string_view kFirstLine =
    "' Quorvel: a scan series in progress. Quorvel offers to take it up from here when it starts.";
constexpr std::array<std::string_view, 3> kModeNames = {"Full Auto", "Error Only",
                                                        "Error and Save As"};
constexpr std::string_view kMode = "mode=";
constexpr std::string_view kFolder = "folder=";
constexpr std::string_view kLastSent = "last sent=";
constexpr std::string_view kImageThen = "its image then=";
constexpr std::string_view kNoImage = "none";
constexpr std::string_view kBytes = " bytes, ";
// What files of an earlier version hold in place of kImageThen; the image is then not known.
constexpr std::string_view kSentAt = "sent at=";
constexpr std::string_view kToCome = "names to come:";

constexpr std::string_view kIdentity = ", file ";

// The local time that LocalIsoTime wrote, as files of an earlier version keep it; nothing when the
// text is not one.
std::optional<std::chrono::system_clock::time_point> FromLocalIso(const std::string& text) {
  std::tm local{};
  if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &local.tm_year, &local.tm_mon,
                  &local.tm_mday, &local.tm_hour, &local.tm_min, &local.tm_sec) != 6) {
    return std::nullopt;
  }
  local.tm_year -= 1900;
  local.tm_mon -= 1;
  local.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&local);
  if (seconds == -1) return std::nullopt;
  return std::chrono::system_clock::from_time_t(seconds);
}

// A time stamp in UTC, to the nanosecond: "2026-12-07T14:03:22.123456789Z". Unlike local time,
// it reads back the same across a change of the clocks.
std::string UtcText(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto day = floor<days>(time);
  const year_month_day date(day);
  const hh_mm_ss clock(duration_cast<nanoseconds>(time - day));
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%09lldZ", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()),
                static_cast<long long>(clock.subseconds().count()));
  return text;
}

std::optional<std::chrono::system_clock::time_point> FromUtc(const std::string& text) {
  using namespace std::chrono;
  int y = 0;
  unsigned mo = 0, d = 0;
  int h = 0, mi = 0, s = 0;
  long long ns = 0;
  char zone = 0;
  if (std::sscanf(text.c_str(), "%4d-%2u-%2uT%2d:%2d:%2d.%9lld%c", &y, &mo, &d, &h, &mi, &s, &ns,
                  &zone) != 8 ||
      zone != 'Z') {
    return std::nullopt;
  }
  const year_month_day date{year(y), month(mo), day(d)};
  if (!date.ok()) return std::nullopt;
  return time_point_cast<system_clock::duration>(sys_days(date) + hours(h) + minutes(mi) +
                                                 seconds(s) + nanoseconds(ns));
}

// "none", or the size, the time stamp and the file's identity when known:
// "246 bytes, 2026-12-07T14:03:22.123456789Z, file 1234"; "" when not known.
std::string ImageThenText(const std::optional<ImageBefore>& image) {
  if (!image) return {};
  if (!image->file) return std::string(kNoImage);
  return DecimalText(static_cast<long long>(image->file->size)) + std::string(kBytes) +
         UtcText(image->file->written) +
         (image->file->identity == 0
              ? std::string()
              : std::string(kIdentity) + std::to_string(image->file->identity));
}

std::optional<ImageBefore> ReadImageThen(const std::string& text) {
  if (text == kNoImage) return ImageBefore{};
  const std::size_t bytes = text.find(kBytes);
  if (bytes == std::string::npos || bytes == 0) return std::nullopt;
  FileFacts facts;
  for (std::size_t i = 0; i < bytes; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    facts.size = facts.size * 10 + static_cast<std::uintmax_t>(text[i] - '0');
  }
  std::string time = text.substr(bytes + kBytes.size());
  if (const std::size_t identity = time.find(kIdentity); identity != std::string::npos) {
    facts.identity = std::strtoull(time.c_str() + identity + kIdentity.size(), nullptr, 10);
    time.resize(identity);
  }
  const auto written = time.ends_with('Z') ? FromUtc(time) : FromLocalIso(time);
  if (!written) return std::nullopt;
  facts.written = *written;
  return ImageBefore{facts};
}

}  // namespace

std::string_view ModeName(ActionMode mode) {
  return kModeNames[static_cast<std::size_t>(mode)];
}

std::string QueueFilePath(const std::string& ini_path, const std::string& program_folder) {
  const std::string folder = ini_path.empty() ? program_folder : FolderOfIniPath(ini_path);
  return folder + kPathSeparator + std::string(kQueueFileName);
}

std::string QueueText(const QueueState& state) {
  std::string text(kFirstLine);
  text.append(kCrLf).append(kMode).append(ModeName(state.mode)).append(kCrLf);
  text.append(kFolder).append(state.folder).append(kCrLf);
  text.append(kLastSent).append(state.last_sent).append(kCrLf);
  text.append(kImageThen).append(ImageThenText(state.last_image)).append(kCrLf);
  text.append(kToCome).append(kCrLf);
  for (const std::string& name : state.to_come) text.append(name).append(kCrLf);
  return text;
}

std::optional<QueueState> ReadQueue(std::string_view text) {
  const std::vector<std::string> lines = SplitIntoItems(text);
  if (lines.size() < 6 || lines[0] != kFirstLine || lines[5] != kToCome) return std::nullopt;
  const auto value = [&](std::size_t line, std::string_view key) -> std::optional<std::string> {
    if (!lines[line].starts_with(key)) return std::nullopt;
    return lines[line].substr(key.size());
  };
  QueueState state;
  const auto mode = value(1, kMode);
  const auto folder = value(2, kFolder);
  const auto last = value(3, kLastSent);
  const auto image = value(4, kImageThen);
  if (!mode || !folder || !last || (!image && !value(4, kSentAt))) return std::nullopt;
  bool known = false;
  for (std::size_t i = 0; i < kModeNames.size(); ++i) {
    if (*mode == kModeNames[i]) {
      state.mode = static_cast<ActionMode>(i);
      known = true;
    }
  }
  if (!known) return std::nullopt;
  state.folder = *folder;
  state.last_sent = *last;
  if (image) state.last_image = ReadImageThen(*image);
  for (std::size_t i = 6; i < lines.size(); ++i) {
    if (!lines[i].empty()) state.to_come.push_back(lines[i]);
  }
  return state;
}

}  // namespace quorvel
