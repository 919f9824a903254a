// The filename list loader: the text of Filenames becomes the queue of pending names.
#include "series/filename_list.h"

#include <algorithm>

#include "app/scanner_form.h"
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

bool ScannerForm::ParseText() {
  std::vector<std::string> items = SplitIntoItems(controls_.Text(ControlId::kFilenames));
  const auto names = std::count_if(items.begin(), items.end(),
                                   [](const std::string& item) { return !item.empty(); });
  if (names > kPendingNameSlots) {
    host_.ShowMessage("The list of filenames holds " + DecimalText(names) + " names; at most " +
                      DecimalText(kPendingNameSlots) +
                      " can be queued. Shorten the list, then press ENABLE again.");
    return false;
  }
  int slot = 0;
  for (const std::string& item : items) {
    if (!item.empty()) state_.PendingNames[slot++] = item;
  }
  for (; slot < kPendingNameSlots; ++slot) state_.PendingNames[slot].clear();
  state_.NextNameIndex = 0;
  controls_.SetItems(ControlId::kList1, std::move(items));
  return true;
}

}  // namespace quorvel
