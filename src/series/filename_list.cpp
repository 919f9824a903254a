// The filename list loader: the lines of the list and the names they queue.
#include "series/filename_list.h"

#include <algorithm>

#include "common/number_text.h"

namespace quorvel {

std::vector<std::string> SplitIntoItems(std::string_view text) {
  std::vector<std::string> items;
  // Set by a line end that follows a line; a second line end then stands for an empty line.
  bool pending_end = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == '\r' || text[pos] == '\n') {
      ++pos;
      if (pending_end) items.emplace_back();
      pending_end = !pending_end;
      continue;
    }
    const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    items.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;  // the line end that closes the line goes with it
    pending_end = false;
  }
  return items;
}

NameList ReadNameList(std::string_view text, int slots) {
  NameList list;
  list.items = SplitIntoItems(text);
  for (const std::string& item : list.items) {
    if (!item.empty()) list.names.push_back(item);
  }
  if (list.names.size() > static_cast<std::size_t>(slots)) {
    list.message = "The list of filenames holds " + DecimalText(list.names.size()) +
                   " names; at most " + DecimalText(slots) +
                   " can be queued. Shorten the list, then press ENABLE again.";
  }
  return list;
}

}  // namespace quorvel
