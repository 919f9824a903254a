// The stand-in scanning application's command line, shared by its X11 and Win32 variants.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "sim/simulated_scanner.h"

namespace quorvel {

struct StandInOptions {
  ScannerOptions scanner;
  std::set<int> failing_saves;  // numbers of the save attempts that write nothing, from 1
  std::string log_path;         // every key received and every save; none when empty
  int left = 710, top = 40;     // of the main window, in pixels
};

// Parses the arguments after the program name. On a mistake, `error` names it and nothing is
// returned.
std::optional<StandInOptions> ParseStandInOptions(const std::vector<std::string>& args,
                                                  std::string& error);

inline constexpr const char* kStandInUsage =
    "usage: quorvel-scanner-sim --folder DIR [--pages N] [--first-scan-ms MS] [--scan-ms MS]\n"
    "         [--dialog-ms MS] [--fail-saves N,N,...] [--operator-saves-after-ms MS]\n"
    "         [--log FILE] [--position X,Y]\n";

}  // namespace quorvel
