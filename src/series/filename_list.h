// The operator's list of filenames: its lines, and the names it puts in the queue.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// One item per line, in order. Carriage returns and line feeds are the only line ends; a run of
// k of them yields (k - 1) / 2 empty items after a line and k / 2 at the very start of the text,
// so CR LF ends and single CR or LF ends all read as one line end. Nothing is trimmed.
std::vector<std::string> SplitIntoItems(std::string_view text);

// The list as the queue takes it: its lines, and the names (the lines that are not empty) in
// order; or, when the names are more than the queue's `slots`, a message saying so.
struct NameList {
  std::vector<std::string> items;
  std::vector<std::string> names;
  std::string message;  // not empty: nothing may be queued
};
NameList ReadNameList(std::string_view text, int slots);

}  // namespace quorvel
