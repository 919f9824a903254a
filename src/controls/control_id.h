// Names of the controls of the operator window and of the save-folder picker.
#pragma once

#include <cstdint>

namespace quorvel {

// A control array is one base id followed by its members, indexed from 0.
enum class ControlId : std::uint8_t {
  kDelayText,  // DelayText(0..9)
  kFrame1 = kDelayText + 10,
  kOptionAction,  // OptionAction(0..2)
  kPadText = kOptionAction + 3,
  kOption1,  // Option1(0..5)
  kSleepTimer = kOption1 + 6,
  kList1,
  kFilenames,
  kCreateCommand,
  kNumberofScans,
  kSeedNumberText,
  kSeedText,
  kStopCommand,
  kExitCommand,
  kTimer1,
  kCommand4,
  kCombo1,
  kStartCommand,
  kSleepLabel,
  kLabel3,  // Label3(0..1)
  kLabel4 = kLabel3 + 2,
  kSendLabel,
  kLine1,
  kLabel2,
  kLabel1,
  // The save-folder picker.
  kCommand1,
  kDir1,
  kDrive1,
  kCount,
  kNone = 0xFF,
};

inline constexpr int kControlCount = static_cast<int>(ControlId::kCount);
inline constexpr int kStatusLines = 10;

constexpr ControlId Member(ControlId base, int index) {
  return static_cast<ControlId>(static_cast<int>(base) + index);
}
constexpr ControlId DelayText(int index) {
  return Member(ControlId::kDelayText, index);
}
constexpr ControlId OptionAction(int index) {
  return Member(ControlId::kOptionAction, index);
}
constexpr ControlId Option1(int index) {
  return Member(ControlId::kOption1, index);
}
constexpr ControlId Label3(int index) {
  return Member(ControlId::kLabel3, index);
}
constexpr int Index(ControlId id) {
  return static_cast<int>(id);
}
constexpr bool IsTimer(ControlId id) {
  return id == ControlId::kTimer1 || id == ControlId::kSleepTimer;
}

}  // namespace quorvel
