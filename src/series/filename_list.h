// Splitting the operator's list of filenames into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// One item per line, in order. Carriage returns and line feeds are the only line ends; a run of
// k of them yields (k - 1) / 2 empty items after a line and k / 2 at the very start of the text,
// so CR LF ends and single CR or LF ends all read as one line end. Nothing is trimmed.
std::vector<std::string> SplitIntoItems(std::string_view text);

}  // namespace quorvel
