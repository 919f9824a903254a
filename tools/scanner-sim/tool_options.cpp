#include "tool_options.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace quorvel {
namespace {

bool ReadNumber(const std::string& text, long long min, long long max, long long& value) {
  const char* end = text.data() + text.size();
  const auto [stop, code] = std::from_chars(text.data(), end, value);
  return code == std::errc() && stop == end && value >= min && value <= max;
}

// "1,3,4": positive numbers separated by commas.
bool ReadList(const std::string& text, std::set<int>& out) {
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    long long value = 0;
    if (!ReadNumber(text.substr(start, comma - start), 1, 1000000, value)) return false;
    out.insert(static_cast<int>(value));
    start = comma + 1;
  }
  return true;
}

// Stores the value where the option says; false when it is not well formed.
struct Store {
  const std::string& value;
  bool operator()(bool*) const { return false; }  // switches take no value
  bool operator()(int* out) const {
    long long number = 0;
    if (!ReadNumber(value, 0, std::numeric_limits<int>::max(), number)) return false;
    *out = static_cast<int>(number);
    return true;
  }
  bool operator()(std::int64_t* out) const {
    long long number = 0;
    if (!ReadNumber(value, 0, std::numeric_limits<std::int64_t>::max(), number)) return false;
    *out = number;
    return true;
  }
  bool operator()(std::string* out) const {
    *out = value;
    return !value.empty();
  }
  bool operator()(std::set<int>* out) const { return ReadList(value, *out); }
  bool operator()(std::chrono::seconds* out) const {
    long long number = 0;
    if (!ReadNumber(value, -1000000000, 1000000000, number)) return false;
    *out = std::chrono::seconds(number);
    return true;
  }
  bool operator()(std::vector<std::string>* out) const {
    out->push_back(value);
    return !value.empty();
  }
};

}  // namespace

std::string ReadToolOptions(const std::vector<std::string>& args,
                            std::span<const ToolOption> options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const auto option = std::find_if(options.begin(), options.end(),
                                     [&](const ToolOption& o) { return args[i] == o.name; });
    if (option == options.end()) return "unknown option " + args[i];
    if (bool* const* flag = std::get_if<bool*>(&option->value)) {
      **flag = true;
      continue;
    }
    if (i + 1 >= args.size()) return "option " + args[i] + " needs a value";
    if (!std::visit(Store{args[i + 1]}, option->value)) {
      return "bad value \"" + args[i + 1] + "\" for " + args[i];
    }
    ++i;
  }
  return {};
}

void ReadToolOptionsOrExit(const std::vector<std::string>& args,
                           std::span<const ToolOption> options, const char* program) {
  const std::string error = ReadToolOptions(args, options);
  if (error.empty()) return;
  std::fprintf(stderr, "%s: %s\n", program, error.c_str());
  std::exit(2);
}

std::vector<ToolOption> StandInOptionTable(StandInOptions& options) {
  return {{"--folder", &options.folder},
          {"--log", &options.log},
          {"--pages", &options.pages},
          {"--first-scan-ms", &options.first_scan_ms},
          {"--scan-ms", &options.scan_ms},
          {"--fail-saves", &options.failing_saves},
          {"--cut-saves", &options.cut_saves},
          {"--box-title", &options.box_title},
          {"--dialog-title", &options.dialog_title},
          {"--jam-page", &options.jam_page},
          {"--clock-offset", &options.clock_offset},
          {"--ask-before-replacing", &options.ask_before_replacing},
          {"--image-bytes", &options.image_bytes}};
}

bool StampSavedImage(const std::filesystem::path& file, std::chrono::seconds offset) {
  if (offset == std::chrono::seconds(0)) return true;
  std::error_code error;
  std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() + offset,
                                   error);
  return !error;
}

}  // namespace quorvel
