#include "stand_in_options.h"

#include <charconv>

namespace quorvel {
namespace {

bool ReadInt(const std::string& text, int min, long long& value) {
  const char* end = text.data() + text.size();
  const auto [stop, code] = std::from_chars(text.data(), end, value);
  return code == std::errc() && stop == end && value >= min;
}

// "1,3,4": positive numbers separated by commas.
bool ReadList(const std::string& text, std::set<int>& out) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    long long value = 0;
    if (!ReadInt(text.substr(start, comma - start), 1, value) || value > 1000000) return false;
    out.insert(static_cast<int>(value));
    start = comma + 1;
  }
  return true;
}

}  // namespace

std::optional<StandInOptions> ParseStandInOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
  StandInOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      error = "option " + name + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    long long number = 0;
    bool ok = true;
    if (name == "--folder") {
      options.scanner.save_folder = value;
      ok = !value.empty();
    } else if (name == "--pages") {
      ok = ReadInt(value, 0, number) && number <= 100000;
      options.scanner.pages = static_cast<int>(number);
    } else if (name == "--first-scan-ms") {
      ok = ReadInt(value, 0, number);
      options.scanner.first_scan_ms = number;
    } else if (name == "--scan-ms") {
      ok = ReadInt(value, 0, number);
      options.scanner.scan_ms = number;
    } else if (name == "--dialog-ms") {
      ok = ReadInt(value, 0, number);
      options.scanner.dialog_ms = number;
    } else if (name == "--operator-saves-after-ms") {
      ok = ReadInt(value, 0, number);
      options.scanner.operator_saves_after_ms = number;
    } else if (name == "--fail-saves") {
      ok = ReadList(value, options.failing_saves);
    } else if (name == "--log") {
      options.log_path = value;
    } else if (name == "--position") {
      const std::size_t comma = value.find(',');
      long long left = 0, top = 0;
      ok = comma != std::string::npos && ReadInt(value.substr(0, comma), 0, left) &&
           ReadInt(value.substr(comma + 1), 0, top) && left < 100000 && top < 100000;
      options.left = static_cast<int>(left);
      options.top = static_cast<int>(top);
    } else {
      error = "unknown option " + name;
      return std::nullopt;
    }
    if (!ok) {
      error = "bad value \"" + value + "\" for " + name;
      return std::nullopt;
    }
  }
  if (options.scanner.save_folder.empty()) {
    error = "--folder is required";
    return std::nullopt;
  }
  return options;
}

}  // namespace quorvel
