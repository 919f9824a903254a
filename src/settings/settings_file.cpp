// The settings file: ReadIni when the window loads, WriteIni when the program ends.
#include "settings/settings_file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

#include "common/ascii.h"
#include "common/number_text.h"

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

// Window positions are whole twips; a position no screen can have is written as 0.
long long WholeTwips(double twips) {
  const double rounded = RoundHalfEven(twips);
  return std::isfinite(rounded) && std::fabs(rounded) < 1e15 ? static_cast<long long>(rounded) : 0;
}

}  // namespace

std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

std::string IniPathFor(const std::string& folder, char separator) {
  return folder + separator + std::string(kSettingsFileName);
}

std::string FolderOfIniPath(const std::string& ini_path) {
  return ini_path.substr(0,
                         ini_path.size() - std::min(ini_path.size(), kSettingsFileName.size() + 1));
}

std::string StampLine(WallClock::time_point now) {
  const std::time_t seconds = WallClock::to_time_t(now);
  std::tm local{};
  local = *std::localtime(&seconds);  // the program's one thread is the only caller
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

Settings ApplySettings(std::string_view text, Settings settings, const std::string& path) {
  for (const std::string& item : SettingsItems(text)) {
    const bool top = StartsWithIgnoringCase(item, kTopKey);
    const bool left = StartsWithIgnoringCase(item, kLeftKey);
    if (top || left) {
      const double value =
          ParseLeadingNumber(std::string_view(item).substr(top ? kTopKey.size() : kLeftKey.size()));
      if (!(std::fabs(value) <= FLT_MAX)) {
        settings.messages.push_back("The entry " + item + " in the settings file " + Quoted(path) +
                                    " lies beyond any screen; the window stays where it is.");
        continue;
      }
      (top ? settings.position.top : settings.position.left) = static_cast<float>(value);
      settings.moved = true;
    } else if (StartsWithIgnoringCase(item, kDelayKey)) {
      const std::optional<std::int32_t> delay =
          ToInt32(ParseLeadingNumber(std::string_view(item).substr(kDelayKey.size())));
      if (!delay) {
        settings.messages.push_back(
            "The pause in the settings file " + Quoted(path) + ", " + item + ", must lie between " +
            DecimalText(std::numeric_limits<std::int32_t>::min()) + " and " +
            DecimalText(std::numeric_limits<std::int32_t>::max()) +
            " milliseconds; the pause stays at " + DecimalText(settings.delay) + " ms.");
        continue;
      }
      settings.delay = *delay;
    }
  }
  return settings;
}

}  // namespace quorvel
