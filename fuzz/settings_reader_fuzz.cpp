// The settings reader on any file: it never fails, never leaves the pause at 0, and reading a
// whole file ends any pause.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/headless/headless_host.h"
#include "app/scanner_form.h"
#include "desktop/simulated_desktop.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel;
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)SettingsItems(text);
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / "quorvel-fuzz-settings";
    std::filesystem::create_directories(path);
    return path;
  }();
  std::ofstream(folder / kSettingsFileName, std::ios::binary | std::ios::trunc) << text;
  VirtualClock clock;
  SimulatedDesktop desktop(clock, folder.string());
  HeadlessHost host(clock);
  ScannerForm form(desktop, host);
  host.Attach(form);
  form.State().Pausing = true;
  form.ReadIni();
  if (form.State().Delay == 0) std::abort();
  if (form.State().Pausing && host.Messages().empty()) std::abort();  // read whole: cleared
  return 0;
}
