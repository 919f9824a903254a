// The filename list loader on any text: the items never hold a line end, joined they give the
// text without its line ends, and a load either fills the queue or refuses it whole.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/headless/headless_host.h"
#include "app/scanner_form.h"
#include "desktop/simulated_desktop.h"
#include "series/filename_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string joined;
  std::size_t names = 0;
  for (const std::string& item : SplitIntoItems(text)) {
    if (item.find_first_of("\r\n") != std::string::npos) std::abort();
    joined += item;
    names += !item.empty();
  }
  std::string expected;
  for (char c : text) {
    if (c != '\r' && c != '\n') expected.push_back(c);
  }
  if (joined != expected) std::abort();

  VirtualClock clock;
  SimulatedDesktop desktop(clock, "");
  HeadlessHost host(clock);
  ScannerForm form(desktop, host);
  form.Controls().SetText(ControlId::kFilenames, text);
  const bool loaded = form.ParseText();
  if (loaded != (names <= kPendingNameSlots)) std::abort();
  if (form.Controls().Text(ControlId::kFilenames) != text) std::abort();  // never touched
  if (loaded && names < kPendingNameSlots && !form.State().PendingNames[names].empty()) {
    std::abort();
  }
  return 0;
}
