// The command line of the stand-in scanning applications and the focus thieves: each program
// declares its options once, with the variable each one sets, and one reader fills them in.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <set>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace quorvel {

struct ToolOption {
  const char* name;  // "--pages"
  // bool: a switch without a value; int, int64_t: a whole number from 0; set<int>: numbers from
  // 1 separated by commas ("2,5"); vector: a text that may be given more than once; seconds: a
  // whole number, "-" in front when negative.
  std::variant<bool*, int*, std::int64_t*, std::string*, std::set<int>*, std::vector<std::string>*,
               std::chrono::seconds*>
      value;
};

// Reads the arguments after the program's name. Returns "" when each is a declared option with a
// well-formed value, else a message naming the first that is not.
std::string ReadToolOptions(const std::vector<std::string>& args,
                            std::span<const ToolOption> options);
// The same, for a program's main: a mistake is told on standard error, and the program ends.
void ReadToolOptionsOrExit(const std::vector<std::string>& args,
                           std::span<const ToolOption> options, const char* program);

// What the two stand-in scanning applications share.
struct StandInOptions {
  std::string folder = ".";           // where the dialog saves
  std::string log;                    // the event log (log_file.h); none when empty
  int pages = 5;                      // scans in all
  std::int64_t first_scan_ms = 1000;  // from the start to the first error box
  std::int64_t scan_ms = 1000;        // from a save to the next error box
  std::set<int> failing_saves;        // numbers of the save attempts that write nothing, from 1
  std::set<int> cut_saves;            // ... that write half an image, as on a full disk
  std::string box_title = "DeskScan Error";  // "DeskScan II": the main window's own title
  std::string dialog_title = "Save As";
  int jam_page = 0;  // the scan after which a "Paper Jam" box opens instead, and stays
  bool ask_before_replacing = false;  // the save dialog asks before it replaces a file
  std::int64_t image_bytes = 0;       // each image at least this long; 0: 8 x 8 pixels
  // Added to the time stamp of each image saved: the clock of a file server behind or ahead.
  std::chrono::seconds clock_offset{0};
};
inline constexpr const char* kJamTitle = "Paper Jam";

// The options of StandInOptions, for a program to add its own to.
std::vector<ToolOption> StandInOptionTable(StandInOptions& options);

// Stamps the file just saved with the time now plus `offset`, as a file server whose clock is that
// far off would; nothing to do for no offset. False when the time cannot be set.
bool StampSavedImage(const std::filesystem::path& file, std::chrono::seconds offset);

}  // namespace quorvel
