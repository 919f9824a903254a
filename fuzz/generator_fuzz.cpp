// The series generator on any input boxes: it either refuses with a message and changes nothing,
// or writes one line per name, each the seed filename followed by a number.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/headless/headless_host.h"
#include "app/scanner_form.h"
#include "desktop/simulated_desktop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel;
  if (size < 1) return 0;
  // The first byte chooses the step button (or none); the rest holds the four boxes, one a line.
  const int option = data[0] % 7 - 1;
  std::vector<std::string> boxes(4);
  std::size_t box = 0;
  for (std::size_t i = 1; i < size && box < boxes.size(); ++i) {
    if (data[i] == '\n') {
      ++box;
    } else {
      boxes[box].push_back(static_cast<char>(data[i]));
    }
  }
  if (boxes[0].size() > 32) boxes[0].resize(32);  // the seed filename, kept short for speed

  VirtualClock clock;
  SimulatedDesktop desktop(clock, "");
  HeadlessHost host(clock);
  ScannerForm form(desktop, host);
  ControlModel& controls = form.Controls();
  controls.SetText(ControlId::kFilenames, "before");
  controls.SetText(ControlId::kSeedText, boxes[0]);
  controls.SetText(ControlId::kSeedNumberText, boxes[1]);
  controls.SetText(ControlId::kPadText, boxes[2]);
  controls.SetText(ControlId::kNumberofScans, boxes[3]);
  if (option >= 0) controls.SetValue(Option1(option), true);
  form.State().CurrentNumber = 12345;

  form.CreateCommand_Click();

  const std::string& text = controls.Text(ControlId::kFilenames);
  if (!host.Messages().empty()) {
    if (text != "before" || form.State().CurrentNumber != 12345) std::abort();
    return 0;
  }
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) std::abort();  // every line ends with CR LF
    if (text.compare(start, boxes[0].size(), boxes[0]) != 0) std::abort();
    start = end + 2;
  }
  return 0;
}
