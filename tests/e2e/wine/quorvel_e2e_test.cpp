// Quorvel.exe on a real (Wine) desktop against the Win32 stand-in scanning application: the test
// plays the operator with the mouse and the keyboard, at the places the layout table gives the
// controls, and reads what happened from the stand-in's key and event log and from the disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "app/layout.h"
#include "app/layout_queries.h"
#include "common/win32_text.h"
#include "desktop/win32_desktop.h"
#include "wine_rig.h"

namespace quorvel {
namespace {

using e2e::Matching;
using e2e::Program;
using e2e::TempFolder;
using e2e::WaitFor;
using std::chrono::milliseconds;

constexpr wchar_t kOperatorTitle[] = L"Odrin's HP Scanner Error Workaround";
constexpr wchar_t kPickerTitle[] = L"Find Directory to Save Files In";
constexpr milliseconds kStartWait{30000};
constexpr milliseconds kClickWait{3000};
// A page takes three or four ticks of Timer1 (2.5 s each) and the pause after the save.
constexpr milliseconds kPageWait{20000};
// The scanning application of the user's report: its error box has the main window's title, and
// its Save As dialog is the one of the ANSI API.
constexpr wchar_t kUsersScanner[] = L"--ansi --box-title \"DeskScan II\"";

// The names of the operator's list: "page", seed number 7, +1, pad 3.
std::vector<std::string> ListNames(int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "page%03d", 7 + i);
    names.push_back(name);
  }
  return names;
}

std::string Joined(const std::vector<std::string>& names, const std::string& end = "") {
  std::string text;
  for (const std::string& name : names) text += name + end;
  return text;
}

// Five-page series per dialog variant: QUORVEL_WINE_SERIES in all (5 unless set, 4 at least),
// the ANSI variant taking the odd one.
int SeriesOf(bool ansi) {
  const char* text = std::getenv("QUORVEL_WINE_SERIES");
  const int total = text ? std::max(4, std::atoi(text)) : 5;
  return ansi ? (total + 1) / 2 : total / 2;
}

GUITHREADINFO InputOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info;
}

// Clicks at a point of the screen and returns once the click is over: the control under it has
// let the mouse go (buttons and text boxes hold it from the press to the release) and holds the
// focus, or is gone (a button that closes its window). The press and the release carry the point
// too: under Wine the program under the pointer turns the X server's motion events, which may
// still tell of an earlier click's place, into moves of the pointer, and a button event without a
// place of its own goes where the pointer then is.
void Click(POINT point) {
  const HWND control = WindowFromPoint(point);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3]{};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, width - 1);
    input.mi.dy = MulDiv(point.y, 65535, height - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInput(3, inputs, sizeof(INPUT));
  WaitFor(
      [&] {
        const GUITHREADINFO input = InputOf(control);
        return !input.hwndCapture && (input.hwndFocus == control || !IsWindowVisible(control));
      },
      kClickWait);
}

// One run: the stand-in scanning application and Quorvel.exe, each in a folder of its own; the
// stand-in saves where Quorvel starts, so the picker's first folder is the one to confirm.
class QuorvelRun : public ::testing::Test {
 protected:
  QuorvelRun() : app_(L"app"), scans_(L"scans") {}

  // Quorvel with the user's settings and the operator's list prepared.
  void Start(int list_size) {
    CopyFileW(e2e::WinePath(QUORVEL_EXE).c_str(), app_.File(L"Quorvel.exe").c_str(), FALSE);
    std::ofstream(WideToUtf8(app_.File(L"Quorvel.ini")), std::ios::binary)
        << "' settings for the end-to-end test\r\ntop=600\r\nleft=600\r\ndelay=3000\r\n";
    quorvel_.emplace(app_.File(L"Quorvel.exe"), L"", scans_.Path());
    ASSERT_TRUE(e2e::WaitForWindow(kOperatorTitle, kStartWait));
    operator_ = e2e::ShownWindow(kOperatorTitle);
    // The window is ready for the operator once the seed filename box has the focus.
    ASSERT_TRUE(WaitFor(
        [&] { return InputOf(operator_).hwndFocus == Control(ControlId::kSeedText); }, kStartWait));
    ASSERT_NO_FATAL_FAILURE(PrepareList(list_size));
  }

  // The operator chooses the action and presses ENABLE; then the scanning application starts,
  // so that its error box cannot come between the operator's clicks and their controls.
  void Enable(int action, int pages, const std::wstring& scanner_options = {}) {
    ClickOn(OptionAction(action));
    ClickOn(ControlId::kStartCommand);
    scanner_.reset();
    DeleteFileW(ScannerLog().c_str());
    keys_.emplace();
    scanner_.emplace(e2e::WinePath(QUORVEL_SCANNER_EXE),
                     L"--folder \"" + scans_.Path() + L"\" --log \"" + ScannerLog() +
                         L"\" --pages " + std::to_wstring(pages) +
                         L" --scan-ms 1500 --next-ms 1000 " + scanner_options);
    ASSERT_TRUE(e2e::WaitForWindow(L"DeskScan II", kStartWait));
  }

  ~QuorvelRun() override {
    // What the scanning application and the bystander saw, for the reader of a failure.
    if (HasFailure()) {
      for (const std::wstring& log : {ScannerLog(), ThiefLog()}) {
        std::printf("%s:\n", WideToUtf8(log).c_str());
        for (const std::string& line : e2e::LogLines(log)) std::printf("  %s\n", line.c_str());
      }
      std::printf("shown windows, topmost first (foreground %s):\n",
                  e2e::Title(GetForegroundWindow()).c_str());
      for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsWindowVisible(w)) std::printf("  %s\n", e2e::Title(w).c_str());
      }
      std::printf("operator window: status %s, %s, %s\n", TextOf(ControlId::kSendLabel).c_str(),
                  TextOf(ControlId::kSleepLabel).c_str(), TextOf(ControlId::kStartCommand).c_str());
      for (int i = 0; i < 10; ++i) std::printf("  line %d: %s\n", i, TextOf(DelayText(i)).c_str());
    }
    keys_.reset();
    DeleteFileW(ThiefLog().c_str());
    quorvel_.reset();
    scanner_.reset();
    DeleteFileW(ScannerLog().c_str());
    DeleteFileW(app_.File(L"Quorvel.exe").c_str());
    DeleteFileW(app_.File(L"Quorvel.ini").c_str());
  }

  std::wstring ScannerLog() const { return app_.File(L"scanner.log"); }
  std::wstring ThiefLog() const { return app_.File(L"thief.log"); }
  std::vector<std::string> Log() const { return e2e::LogLines(ScannerLog()); }
  std::size_t Count(const std::string& prefix) const { return Matching(Log(), prefix).size(); }
  bool WaitForCount(const std::string& prefix, std::size_t count, milliseconds timeout) {
    return WaitFor([&] { return Count(prefix) >= count; }, timeout);
  }

  // The centre of a control in its window's client area, from the layout table.
  static POINT ClientCentre(ControlId id) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const PixelRect rect = ToPixels(AbsoluteRect(SpecOf(id)), dpi);
    return POINT{rect.left + rect.width / 2, rect.top + rect.height / 2};
  }
  static POINT Centre(HWND window, ControlId id) {
    POINT point = ClientCentre(id);
    ClientToScreen(window, &point);
    return point;
  }
  // The control itself, also where another window covers it.
  HWND Control(ControlId id) const {
    return ChildWindowFromPointEx(operator_, ClientCentre(id), CWP_SKIPINVISIBLE);
  }
  // The operator brings the window forward, then clicks the control.
  void ClickOn(ControlId id) {
    SetForegroundWindow(operator_);
    WaitFor([&] { return GetForegroundWindow() == operator_; }, milliseconds(2000));
    Click(Centre(operator_, id));
  }
  std::string TextOf(ControlId id) const {
    wchar_t text[4096] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(Control(id), WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                        2000, &length);
    return WideToUtf8(text);
  }
  // Keys as the operator types them, into Quorvel's window.
  bool Type(const KeyString& keys) {
    return keyboard_.AppActivate(WideToUtf8(kOperatorTitle)) && keyboard_.SendKeys(keys, true);
  }
  void TypeInto(ControlId id, const std::string& text) {
    ClickOn(id);
    ASSERT_TRUE(Type(KeyString().Text(text)));
    ASSERT_TRUE(WaitFor([&] { return TextOf(id) == text; }, kClickWait)) << TextOf(id);
  }

  // The operator's preparation: seed "page", the picker confirmed as it opens (the folder
  // Quorvel started in), seed number 7, pad 3, +1, the number of scans, the list created.
  void PrepareList(int scans) {
    ASSERT_NO_FATAL_FAILURE(TypeInto(ControlId::kSeedText, "page"));
    // Tab opens the picker, which has no owner: the port cannot tell whether the key was read
    // before the foreground moved, so its answer is not asked for here.
    Type(KeyString().Tab());
    ASSERT_TRUE(e2e::WaitForWindow(kPickerTitle, milliseconds(5000)));
    const HWND picker = e2e::ShownWindow(kPickerTitle);
    Click(Centre(picker, ControlId::kCommand1));
    ASSERT_TRUE(e2e::WaitForNoWindow(kPickerTitle, milliseconds(5000)));
    ASSERT_NO_FATAL_FAILURE(TypeInto(ControlId::kSeedNumberText, "7"));
    ASSERT_NO_FATAL_FAILURE(TypeInto(ControlId::kPadText, "3"));
    ClickOn(Option1(0));
    ASSERT_NO_FATAL_FAILURE(TypeInto(ControlId::kNumberofScans, std::to_string(scans)));
    ASSERT_NO_FATAL_FAILURE(CreateList(scans));
  }
  void CreateList(int scans) {
    ClickOn(ControlId::kCreateCommand);
    const std::string expected = Joined(ListNames(scans), "\r\n");
    ASSERT_TRUE(WaitFor([&] { return TextOf(ControlId::kFilenames) == expected; }, kClickWait))
        << TextOf(ControlId::kFilenames);
  }

  std::vector<std::string> Saved() const { return e2e::SavedNames(scans_.Path()); }
  std::string SaveAsTyped() const { return e2e::TypedInto(Log(), "Save As"); }
  // Keys pressed while the foreground was not a window of the scanning application.
  std::vector<std::string> KeysElsewhere() const {
    std::vector<std::string> elsewhere;
    for (const std::string& key : keys_->Keys()) {
      if (!key.starts_with("[DeskScan") && !key.starts_with("[Save As]")) elsewhere.push_back(key);
    }
    return elsewhere;
  }

  // A Full Auto series as it ends: each name typed into the dialog once, saved once and nowhere
  // else typed, one Enter for each error box (titled `box`), the final button never pressed out
  // of turn, the list used up, and Quorvel still at work, with no message of its own.
  void ExpectSeriesSaved(int pages, const std::string& box) {
    const std::vector<std::string> names = ListNames(pages);
    const auto log = Log();
    EXPECT_EQ(Saved(), names);
    EXPECT_EQ(Matching(log, "saved ").size(), names.size());
    EXPECT_EQ(SaveAsTyped(), Joined(names));
    EXPECT_EQ(Matching(log, "char ").size(), Joined(names).size());
    EXPECT_EQ(KeysElsewhere(), std::vector<std::string>{});
    EXPECT_EQ(Matching(log, "key [" + box + "] vk=0D").size(), names.size());
    EXPECT_EQ(Matching(log, "final-button ignored").size(), 0u);
    EXPECT_EQ(TextOf(ControlId::kFilenames), "");
    EXPECT_EQ(e2e::ShownWindow(L"Quorvel"), nullptr);
  }

  // Five-page series back to back, each with a fresh scanning application, Quorvel running
  // throughout. Between two series the operator presses Stop!, files the images away, creates
  // the list again and presses ENABLE.
  void RunSeries(const std::wstring& scanner_options, int count) {
    ASSERT_NO_FATAL_FAILURE(Start(5));
    for (int series = 1; series <= count; ++series) {
      SCOPED_TRACE("series " + std::to_string(series));
      if (series > 1) {
        ClickOn(ControlId::kStopCommand);
        for (const std::string& name : Saved())
          DeleteFileW(scans_.File(Utf8ToWide(name + ".bmp")).c_str());
        ASSERT_NO_FATAL_FAILURE(CreateList(5));
      }
      const auto start = std::chrono::steady_clock::now();
      ASSERT_NO_FATAL_FAILURE(Enable(0, 5, scanner_options));
      ASSERT_TRUE(WaitForCount("series done", 1, 5 * kPageWait));
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      std::printf("series %d of %d: %.1f s\n", series, count, took.count());
      ExpectSeriesSaved(5, "DeskScan II");
      if (HasFailure()) return;
    }
  }

  TempFolder app_;
  TempFolder scans_;
  std::optional<Program> scanner_;
  std::optional<Program> quorvel_;
  std::optional<e2e::KeyWatch> keys_;
  HWND operator_ = nullptr;
  Win32Desktop keyboard_;
};

TEST_F(QuorvelRun, FullAutoSavesFivePagesUnderTheNamesOfTheList) {
  ASSERT_NO_FATAL_FAILURE(Start(5));
  ASSERT_NO_FATAL_FAILURE(Enable(0, 5));
  ASSERT_TRUE(WaitForCount("series done", 1, 5 * kPageWait));
  ExpectSeriesSaved(5, "DeskScan Error");
}

TEST_F(QuorvelRun, SeriesBackToBackWithTheAnsiDialog) {
  RunSeries(kUsersScanner, SeriesOf(true));
}

TEST_F(QuorvelRun, SeriesBackToBackWithTheWideDialog) {
  RunSeries(L"--box-title \"DeskScan II\"", SeriesOf(false));
}

TEST_F(QuorvelRun, ErrorOnlyClosesTheBoxAndTouchesNothingElse) {
  ASSERT_NO_FATAL_FAILURE(Start(3));
  ASSERT_NO_FATAL_FAILURE(Enable(1, 1));
  ASSERT_TRUE(WaitForCount("error-box closed", 1, kPageWait));
  // Three more ticks: the scanning application waits for its operator; Quorvel sends nothing.
  WaitFor([] { return false; }, milliseconds(7500));
  EXPECT_EQ(Count("final-button"), 0u);
  EXPECT_EQ(Count("save-as"), 0u);
  const auto keys = Matching(Log(), "key ");
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0], "key [DeskScan Error] vk=0D");
}

TEST_F(QuorvelRun, AFailedSaveIsSentAgain) {
  ASSERT_NO_FATAL_FAILURE(Start(3));
  ASSERT_NO_FATAL_FAILURE(Enable(0, 4, kUsersScanner + std::wstring(L" --fail-saves 2")));
  EXPECT_TRUE(WaitForCount("series done", 1, 4 * kPageWait));
  EXPECT_EQ(Saved(), ListNames(3));
  EXPECT_EQ(SaveAsTyped(), "page008page009page009page010");
  EXPECT_EQ(Count("save-failed"), 1u);
}

TEST_F(QuorvelRun, StopEndsTheSeriesMidway) {
  ASSERT_NO_FATAL_FAILURE(Start(5));
  ASSERT_NO_FATAL_FAILURE(Enable(0, 5));
  ASSERT_TRUE(WaitForCount("saved", 2, 2 * kPageWait));
  ClickOn(ControlId::kStopCommand);
  const std::size_t keys_at_stop = Count("key ");
  // The next error box comes and stays: nobody closes it.
  ASSERT_TRUE(WaitForCount("error-box shown", 3, kPageWait));
  WaitFor([] { return false; }, milliseconds(7500));
  EXPECT_EQ(Count("error-box closed"), 2u);
  EXPECT_EQ(Count("key "), keys_at_stop);
  EXPECT_EQ(Saved(), ListNames(2));
}

TEST_F(QuorvelRun, FocusTheftLetsNoKeyReachTheThief) {
  const std::wstring thief_log = ThiefLog();
  Program thief(e2e::WinePath(QUORVEL_THIEF_EXE),
                L"--watch \"Save As\" --delay-ms 0 --hold-ms 6000 --log \"" + thief_log + L"\"");
  ASSERT_NO_FATAL_FAILURE(Start(2));
  ASSERT_NO_FATAL_FAILURE(Enable(0, 2, kUsersScanner));
  EXPECT_TRUE(WaitForCount("series done", 1, 3 * kPageWait));
  EXPECT_EQ(Saved(), ListNames(2));
  EXPECT_EQ(SaveAsTyped(), "page008page009");
  const auto stolen = e2e::LogLines(thief_log);
  EXPECT_FALSE(Matching(stolen, "grab").empty()) << "the thief never took the foreground";
  EXPECT_EQ(e2e::KeyEvents(stolen), std::vector<std::string>{});
  EXPECT_EQ(KeysElsewhere(), std::vector<std::string>{});
  std::printf("thief took the foreground %zu times; Save As received %zu keys\n",
              Matching(stolen, "grab").size(), Matching(Log(), "key [Save As]").size());
}

}  // namespace
}  // namespace quorvel
