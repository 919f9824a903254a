// The filename list loader on any text: the items never hold a line end, joined they give the
// text without its line ends, the names are the items that are not empty, and a list of more
// names than the queue holds is refused with a message.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "automation/run_state.h"
#include "series/filename_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const NameList list = ReadNameList(text, kPendingNameSlots);
  std::string joined, expected = text;
  std::size_t names = 0;
  for (const std::string& item : list.items) {
    joined += item;
    if (!item.empty() && list.names[names++] != item) std::abort();
  }
  std::erase_if(expected, [](char c) { return c == '\r' || c == '\n'; });
  if (joined != expected || names != list.names.size()) std::abort();
  if (list.message.empty() != (names <= kPendingNameSlots)) std::abort();
  return 0;
}
