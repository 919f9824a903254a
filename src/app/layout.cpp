#include "app/layout.h"

#include <array>

namespace quorvel {
namespace {

using enum ControlKind;
using K = ControlId;

constexpr Color kTextBack = kWindowBackground;
constexpr Color kTextFore = kWindowText;

constexpr ControlSpec StatusLine(int index) {
  return {DelayText(index),
          "DelayText",
          index,
          kTextBox,
          index == 0 ? "Waiting for Error" : "",
          8160,
          120 + 240 * index,
          1800,
          285,
          index == 9 ? 38 : 28 + index,
          kButtonFace,
          kWhite,
          kBoldFont,
          K::kNone,
          kNoFlags,
          0};
}

constexpr ControlSpec StepOption(int index, const char* caption, int top, int width, int tab,
                                 Color fore) {
  return {Option1(index), "Option1", index, kOptionButton, caption, 4920,         top,
          width,          195,       tab,   kButtonFace,   fore,    kDefaultFont, K::kNone,
          kNoFlags,       0};
}

constexpr std::array kScannerControls = {
    StatusLine(9),
    StatusLine(8),
    StatusLine(7),
    StatusLine(6),
    StatusLine(5),
    StatusLine(4),
    StatusLine(3),
    StatusLine(2),
    StatusLine(1),
    StatusLine(0),
    ControlSpec{K::kFrame1, "Frame1", -1, kFrame, "", 120, 0, 4215, 495, 24, kButtonFace,
                kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{OptionAction(2), "OptionAction", 2, kOptionButton, "Error and Save As", 2400, 240,
                1815, 195, 27, kButtonFace, kButtonText, kDefaultFont, K::kFrame1, kNoFlags, 0},
    ControlSpec{OptionAction(1), "OptionAction", 1, kOptionButton, "Error Only", 1200, 240, 1335,
                195, 26, kButtonFace, kButtonText, kDefaultFont, K::kFrame1, kNoFlags, 0},
    ControlSpec{OptionAction(0), "OptionAction", 0, kOptionButton, "Full Auto", 120, 240, 975, 195,
                25, kButtonFace, kButtonText, kDefaultFont, K::kFrame1, kSelected, 0},
    ControlSpec{K::kPadText, "PadText", -1, kTextBox, "", 7200, 840, 735, 375, 2, kTextBack,
                kTextFore, kDefaultFont, K::kNone, kNoFlags, 0},
    StepOption(5, "Decrement the above by 4 on next scan", 2760, 3255, 22, kRed),
    StepOption(4, "Increment the above by 4 on next scan", 1920, 3255, 21, kGreen),
    ControlSpec{K::kSleepTimer, "SleepTimer", -1, kTimer, "", 0, 0, 0, 0, -1, 0, 0, kDefaultFont,
                K::kNone, kNoFlags, 0},
    ControlSpec{K::kList1, "List1", -1, kListBox, "", 3000, 4320, 495, 255, 19, kListBlue,
                kTextFore, kDefaultFont, K::kNone, kHidden, 0},
    ControlSpec{K::kFilenames, "Filenames", -1, kMultiLineTextBox, "", 240, 840, 3975, 3615, 12,
                kTextBack, kTextFore, kDefaultFont, K::kNone, kVerticalScroll, 0},
    ControlSpec{K::kCreateCommand, "CreateCommand", -1, kCommandButton, "<-- Create Filename List",
                4800, 3360, 2295, 375, 5, kButtonFace, kButtonText, kDefaultFont, K::kNone,
                kNoFlags, 0},
    ControlSpec{K::kNumberofScans, "NumberofScans", -1, kTextBox, "", 7320, 3360, 735, 375, 4,
                kTextBack, kTextFore, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kSeedNumberText, "SeedNumberText", -1, kTextBox, "", 5640, 840, 735, 375, 1,
                kTextBack, kTextFore, kDefaultFont, K::kNone, kNoFlags, 0},
    StepOption(3, "Decrement the above by 2 on next scan", 2520, 3255, 16, kRed),
    StepOption(2, "Decrement the above by 1 on next scan", 2280, 3375, 15, kRed),
    StepOption(1, "Increment the above by 2 on next scan", 1680, 3375, 14, kGreen),
    StepOption(0, "Increment the above by 1 on next scan", 1440, 3255, 3, kGreen),
    ControlSpec{K::kSeedText, "SeedText", -1, kTextBox, "", 4920, 360, 3015, 405, 0, kTextBack,
                kTextFore, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kStopCommand, "StopCommand", -1, kCommandButton, "Stop!", 6120, 4200, 1095, 375,
                8, kButtonFace, kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kExitCommand, "ExitCommand", -1, kCommandButton, "EXIT", 7320, 4200, 975, 375, 9,
                kButtonFace, kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kTimer1, "Timer1", -1, kTimer, "", 0, 0, 0, 0, -1, 0, 0, kDefaultFont, K::kNone,
                kEnabledTimer, 2500},
    ControlSpec{K::kCommand4, "Command4", -1, kCommandButton, "ReLoad Task List", 3360, 4080, 975,
                495, 10, kButtonFace, kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kCombo1, "Combo1", -1, kComboBox, "Combo1", 600, 3720, 2895, 315, 6, kTextBack,
                kTextFore, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kStartCommand, "StartCommand", -1, kCommandButton, "ENABLE", 4560, 4200, 1455,
                375, 7, kButtonFace, kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kSleepLabel, "SleepLabel", -1, kLabel, "", 8760, 2880, 975, 255, 37,
                kWindowBackground, kWindowText, kDefaultFont, K::kNone, kFlat, 0},
    ControlSpec{Label3(1), "Label3", 1, kLabel, "Pad # Digits:", 6600, 840, 615, 495, 23,
                kButtonFace, kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kLabel4, "Label4", -1, kLabel, "# Scans:", 7320, 3120, 735, 255, 20, kButtonFace,
                kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kSendLabel, "SendLabel", -1, kLabel, "Not active", 4560, 3870, 3735, 195, 18,
                kButtonFace, kWindowText, kBoldFont, K::kNone, kCentred | kFlat, 0},
    ControlSpec{Label3(0), "Label3", 0, kLabel, "\"Seed\" Number:", 4920, 840, 615, 495, 17,
                kButtonFace, kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kLine1, "Line1", -1, kLine, "", 4440, 120, 4440, 4440, -1, 0, kWindowText,
                kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kLabel2, "Label2", -1, kLabel, "\"Seed\" Filename (add before ####)", 4920, 120,
                3015, 255, 13, kButtonFace, kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kLabel1, "Label1", -1, kLabel, "List of Filenames to use after first scan:", 120,
                600, 4095, 375, 11, kButtonFace, kButtonText, kHeadingFont, K::kNone, kNoFlags, 0},
};

constexpr std::array kSaveDirControls = {
    ControlSpec{K::kCommand1, "Command1", -1, kCommandButton, "Got it!      Return", 1440, 3240,
                1935, 375, 2, kButtonFace, kButtonText, kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kDir1, "Dir1", -1, kDirList, "", 240, 480, 4215, 2565, 1, kTextBack, kTextFore,
                kDefaultFont, K::kNone, kNoFlags, 0},
    ControlSpec{K::kDrive1, "Drive1", -1, kDriveList, "", 240, 120, 4215, 315, 0, kTextBack,
                kTextFore, kDefaultFont, K::kNone, kNoFlags, 0},
};

constexpr WindowSpec kScannerForm{"Odrin's HP Scanner Error Workaround", 10035, 4650, false,
                                  kScannerControls};
constexpr WindowSpec kSaveDirForm{"Find Directory to Save Files In", 4680, 3630, true,
                                  kSaveDirControls};

}  // namespace

const WindowSpec& ScannerFormLayout() {
  return kScannerForm;
}
const WindowSpec& SaveDirFormLayout() {
  return kSaveDirForm;
}

const ControlSpec& SpecOf(ControlId id) {
  static const auto rows = [] {
    std::array<const ControlSpec*, kControlCount> by_id{};
    for (const ControlSpec& row : kScannerControls) by_id[Index(row.id)] = &row;
    for (const ControlSpec& row : kSaveDirControls) by_id[Index(row.id)] = &row;
    return by_id;
  }();
  return *rows[Index(id)];
}

}  // namespace quorvel
