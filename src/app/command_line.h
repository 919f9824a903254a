// The program's command line, the same on every system.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "app/scanner_form.h"

namespace quorvel {

struct CommandLine {
  bool help = false;
  bool version = false;
  FormOptions form;
};

// The options after the program's name; or a one-line message naming the first one that is wrong.
std::variant<CommandLine, std::string> ParseCommandLine(const std::vector<std::string>& args);

// What --help shows.
std::string UsageText();
// What --version shows: "Quorvel 1.0.0".
std::string VersionText();

}  // namespace quorvel
