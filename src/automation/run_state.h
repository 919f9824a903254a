// The one record of mutable state that the operator window and all its procedures share.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quorvel {

inline constexpr int kPendingNameSlots = 501;  // slots 0 to 500
inline constexpr std::int32_t kDefaultDelayMs = 18000;

struct RunState {
  std::int16_t DeskScanCount = 0;  // windows whose title contains "deskscan", last census
  bool Running = false;            // automation switched on by "ENABLE"
  bool AwaitingSaveAs = false;     // final button pressed; waiting for the "Save As" dialog
  bool SaveAsPresent = false;      // a "save as" window existed at the last census
  std::array<std::string, kPendingNameSlots> PendingNames{};
  std::int16_t NextNameIndex = 0;  // slot of the next name to send
  std::string IniPath;
  std::int32_t Delay = 0;          // ms paused after a Full Auto save; set from the settings file
  bool Pausing = false;            // a step pause runs; ticks are skipped
  std::string LastFilename;        // name sent to the previous "Save As"; empty before the first
  std::string SaveFolder;          // where saved images are looked for
  std::int32_t CurrentNumber = 0;  // number of the last generated filename
};

}  // namespace quorvel
