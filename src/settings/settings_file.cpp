// The settings file: ReadIni when the window loads, WriteIni when the program ends.
#include "settings/settings_file.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

#include "app/scanner_form.h"
#include "common/number_text.h"
#include "settings/file_replace.h"

namespace quorvel {
namespace {

constexpr std::string_view kHeaderLine = "' INI file for Odrin Teskel's ScanJet Quorveler";
constexpr std::string_view kTopKey = "top=";
constexpr std::string_view kLeftKey = "left=";
constexpr std::string_view kDelayKey = "delay=";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsItemEnd(char c) {
  return c == ',' || c == '\r' || c == '\n';
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view lower_key) {
  if (text.size() < lower_key.size()) return false;
  for (std::size_t i = 0; i < lower_key.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower_key[i]) return false;
  }
  return true;
}

// Window positions are whole twips; a position no screen can have is written as 0.
long long WholeTwips(double twips) {
  const double rounded = RoundHalfEven(twips);
  return std::isfinite(rounded) && std::fabs(rounded) < 1e15 ? static_cast<long long>(rounded) : 0;
}

std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

}  // namespace

// Joined plainly, as the image paths are: a root folder keeps its own separator and gets a
// second one, which every file system reads as one.
std::string IniPathFor(const std::string& program_folder) {
  return program_folder + kPathSeparator + std::string(kSettingsFileName);
}

std::string StampLine(WallClock::time_point now) {
  const std::time_t seconds = WallClock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  char line[64];
  std::snprintf(line, sizeof line, "' %02d-%02d-%04d    -     %02d:%02d:%02d", local.tm_mon + 1,
                local.tm_mday, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
  return line;
}

std::string SettingsText(WindowPosition position, std::int32_t delay, WallClock::time_point now) {
  std::string text;
  text.append(kHeaderLine).append(kCrLf);
  text.append(StampLine(now)).append(kCrLf);
  text.append(kCrLf);
  text.append(kTopKey).append(DecimalText(WholeTwips(position.top))).append(kCrLf);
  text.append(kLeftKey).append(DecimalText(WholeTwips(position.left))).append(kCrLf);
  text.append(kDelayKey).append(DecimalText(delay)).append(kCrLf);
  return text;
}

std::vector<std::string> SettingsItems(std::string_view text) {
  std::vector<std::string> items;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::string item;
    if (i < text.size() && text[i] == '"') {
      std::size_t close = i + 1;
      while (close < text.size() && text[close] != '"' && text[close] != '\r' &&
             text[close] != '\n') {
        ++close;
      }
      item.assign(text.substr(i + 1, close - i - 1));
      i = close;
      while (i < text.size() && !IsItemEnd(text[i])) ++i;  // what follows the quote is dropped
    } else {
      const std::size_t start = i;
      while (i < text.size() && !IsItemEnd(text[i])) ++i;
      item.assign(text.substr(start, i - start));
    }
    if (i < text.size()) ++i;  // the comma or line end that closed the item
    if (!item.empty() && item[0] != '\'') items.push_back(std::move(item));
  }
  return items;
}

void ScannerForm::ApplySettingsItem(std::string_view item) {
  const bool top = StartsWithIgnoringCase(item, kTopKey);
  const bool left = StartsWithIgnoringCase(item, kLeftKey);
  if (top || left) {
    const double value = ParseLeadingNumber(item.substr(top ? kTopKey.size() : kLeftKey.size()));
    if (!(std::fabs(value) <= FLT_MAX)) {
      host_.ShowMessage("The entry " + std::string(item) + " in the settings file " +
                        Quoted(state_.IniPath) +
                        " lies beyond any screen; the window stays where it is.");
      return;
    }
    WindowPosition position = host_.GetWindowPosition();
    (top ? position.top : position.left) = static_cast<float>(value);
    host_.MoveWindow(position);
  } else if (StartsWithIgnoringCase(item, kDelayKey)) {
    const std::optional<std::int32_t> delay =
        ToInt32(ParseLeadingNumber(item.substr(kDelayKey.size())));
    if (!delay) {
      host_.ShowMessage("The pause in the settings file " + Quoted(state_.IniPath) + ", " +
                        std::string(item) + ", must lie between " +
                        DecimalText(std::numeric_limits<std::int32_t>::min()) + " and " +
                        DecimalText(std::numeric_limits<std::int32_t>::max()) +
                        " milliseconds; the pause stays at " + DecimalText(state_.Delay) + " ms.");
      return;
    }
    state_.Delay = *delay;
  }
}

void ScannerForm::ReadIni() {
  if (state_.Delay == 0) state_.Delay = kDefaultDelayMs;
  state_.IniPath = IniPathFor(desktop_.ProgramFolder());
  if (!desktop_.FileExists(state_.IniPath)) {
    WriteIni();
    return;
  }
  std::string error;
  const std::optional<std::string> text = ReadWholeFile(state_.IniPath, error);
  if (!text) {
    host_.ShowMessage("The settings file " + Quoted(state_.IniPath) + " could not be read (" +
                      error + "). The window stays where it is and the pause is " +
                      DecimalText(state_.Delay) + " ms.");
    return;
  }
  for (const std::string& item : SettingsItems(*text)) ApplySettingsItem(item);
  if (state_.Delay == 0) state_.Delay = kDefaultDelayMs;
  state_.Pausing = false;
}

void ScannerForm::WriteIni() {
  if (state_.IniPath.empty()) state_.IniPath = IniPathFor(desktop_.ProgramFolder());
  std::string error;
  const std::string text = SettingsText(host_.GetWindowPosition(), state_.Delay, desktop_.Now());
  if (!ReplaceFile(state_.IniPath, text, error)) {
    host_.ShowMessage("The settings could not be saved to " + Quoted(state_.IniPath) + " (" +
                      error + "). The settings file there is unchanged.");
  }
}

}  // namespace quorvel
