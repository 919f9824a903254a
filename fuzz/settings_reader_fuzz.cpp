// The settings reader on any file: it never fails, a position it applies is a finite number, and
// each message names the file.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const Settings settings = ApplySettings(text, {.position = {1, 2}, .delay = 18000}, "x.ini");
  if (!std::isfinite(settings.position.top) || !std::isfinite(settings.position.left)) std::abort();
  for (const std::string& message : settings.messages) {
    if (message.find("\"x.ini\"") == std::string::npos) std::abort();
  }
  return 0;
}
