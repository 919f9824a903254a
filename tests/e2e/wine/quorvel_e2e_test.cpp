// Quorvel.exe on a real (Wine) desktop against the Win32 stand-in scanning application: the test
// plays the operator with the mouse and the keyboard, at the places the layout table gives the
// controls, and reads what happened from the stand-in's key and event log and from the disk.
#include <gtest/gtest.h>

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
// A page takes three or four ticks of Timer1 (2.5 s each) and the pause after the save.
constexpr milliseconds kPageWait{20000};

std::string RootTitle(HWND window) {
  wchar_t title[256] = L"";
  if (window) GetWindowTextW(window, title, 256);
  return "[" + WideToUtf8(title) + "]";
}

void Click(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3]{};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, width - 1);
    input.mi.dy = MulDiv(y, 65535, height - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
  }
  inputs[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInput(3, inputs, sizeof(INPUT));
  WaitFor([] { return false; }, milliseconds(300));
}

// One run: the stand-in scanning application and Quorvel.exe, each in a folder of its own; the
// stand-in saves where Quorvel starts, so the picker's first folder is the one to confirm.
class QuorvelRun : public ::testing::Test {
 protected:
  QuorvelRun() : app_(L"app"), scans_(L"scans") {}

  // Quorvel with the operator's list prepared, then the scanning application, whose first
  // error box thus cannot come between the operator's clicks and their controls.
  void Start(int pages, int list_size, const std::wstring& scanner_options = {}) {
    CopyFileW(e2e::WinePath(QUORVEL_EXE).c_str(), app_.File(L"Quorvel.exe").c_str(), FALSE);
    std::ofstream(WideToUtf8(app_.File(L"Quorvel.ini")), std::ios::binary)
        << "' settings for the end-to-end test\r\ntop=600\r\nleft=600\r\ndelay=1500\r\n";
    quorvel_.emplace(app_.File(L"Quorvel.exe"), L"", scans_.Path());
    ASSERT_TRUE(e2e::WaitForWindow(kOperatorTitle, kStartWait));
    operator_ = e2e::ShownWindow(kOperatorTitle);
    WaitFor([] { return false; }, milliseconds(500));
    ASSERT_NO_FATAL_FAILURE(PrepareList(list_size));
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
                  RootTitle(GetForegroundWindow()).c_str());
      for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsWindowVisible(w)) std::printf("  %s\n", RootTitle(w).c_str());
      }
      std::printf("operator window: status %s, %s, %s\n", TextOf(ControlId::kSendLabel).c_str(),
                  TextOf(ControlId::kSleepLabel).c_str(), TextOf(ControlId::kStartCommand).c_str());
      for (int i = 0; i < 10; ++i) std::printf("  line %d: %s\n", i, TextOf(DelayText(i)).c_str());
    }
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

  // The centre of a control on the screen, from the layout table and the window's client area.
  POINT Centre(HWND window, ControlId id) const {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const PixelRect rect = ToPixels(AbsoluteRect(SpecOf(id)), dpi);
    POINT point{rect.left + rect.width / 2, rect.top + rect.height / 2};
    ClientToScreen(window, &point);
    return point;
  }
  // The operator brings the window forward, then clicks the control.
  void ClickOn(ControlId id) {
    SetForegroundWindow(operator_);
    WaitFor([&] { return GetForegroundWindow() == operator_; }, milliseconds(2000));
    const POINT point = Centre(operator_, id);
    Click(point.x, point.y);
  }
  std::string TextOf(ControlId id) const {
    const POINT point = Centre(operator_, id);
    HWND control = WindowFromPoint(point);
    wchar_t text[4096] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                        &length);
    return WideToUtf8(text);
  }
  // Keys as the operator types them, into Quorvel's window.
  void Type(const KeyString& keys) {
    ASSERT_TRUE(keyboard_.AppActivate(WideToUtf8(kOperatorTitle)));
    ASSERT_TRUE(keyboard_.SendKeys(keys, true));
    WaitFor([] { return false; }, milliseconds(200));
  }

  // The operator's preparation: seed "page", the picker confirmed as it opens (the folder
  // Quorvel started in), seed number 0, pad 2, +1, the number of scans, the list created.
  void PrepareList(int scans) {
    Type(KeyString().Text("page"));
    // Tab opens the picker, which has no owner: the port cannot tell whether the key was read
    // before the foreground moved, so its answer is not asked for here.
    ASSERT_TRUE(keyboard_.AppActivate(WideToUtf8(kOperatorTitle)));
    keyboard_.SendKeys(KeyString().Tab(), true);
    ASSERT_TRUE(e2e::WaitForWindow(kPickerTitle, milliseconds(5000)));
    const HWND picker = e2e::ShownWindow(kPickerTitle);
    const POINT got_it = Centre(picker, ControlId::kCommand1);
    Click(got_it.x, got_it.y);
    ASSERT_TRUE(e2e::WaitForNoWindow(kPickerTitle, milliseconds(5000)));
    ClickOn(ControlId::kSeedNumberText);
    Type(KeyString().Text("0"));
    ClickOn(ControlId::kPadText);
    Type(KeyString().Text("2"));
    ClickOn(Option1(0));
    ClickOn(ControlId::kNumberofScans);
    Type(KeyString().Text(std::to_string(scans)));
    ClickOn(ControlId::kCreateCommand);
    std::string expected;
    for (int i = 1; i <= scans; ++i)
      expected += (i < 10 ? "page0" : "page") + std::to_string(i) + "\r\n";
    ASSERT_TRUE(
        WaitFor([&] { return TextOf(ControlId::kFilenames) == expected; }, milliseconds(3000)))
        << TextOf(ControlId::kFilenames);
  }

  std::vector<std::string> Saved() const { return e2e::SavedNames(scans_.Path()); }
  std::string SaveAsTyped() const { return e2e::TypedInto(Log(), "Save As"); }

  TempFolder app_;
  TempFolder scans_;
  std::optional<Program> scanner_;
  std::optional<Program> quorvel_;
  HWND operator_ = nullptr;
  Win32Desktop keyboard_;
};

TEST_F(QuorvelRun, FullAutoSavesFivePagesUnderTheNamesOfTheList) {
  ASSERT_NO_FATAL_FAILURE(Start(5, 5));
  ClickOn(OptionAction(0));
  ClickOn(ControlId::kStartCommand);
  EXPECT_TRUE(WaitForCount("series done", 1, 5 * kPageWait));
  EXPECT_EQ(Saved(), (std::vector<std::string>{"page01", "page02", "page03", "page04", "page05"}));
  EXPECT_EQ(SaveAsTyped(), "page01page02page03page04page05");
  EXPECT_EQ(Count("error-box closed"), 5u);
  EXPECT_EQ(Count("final-button ignored"), 0u);
  EXPECT_EQ(TextOf(ControlId::kFilenames), "");
}

TEST_F(QuorvelRun, ErrorOnlyClosesTheBoxAndTouchesNothingElse) {
  ASSERT_NO_FATAL_FAILURE(Start(1, 3));
  ClickOn(OptionAction(1));
  ClickOn(ControlId::kStartCommand);
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
  ASSERT_NO_FATAL_FAILURE(Start(4, 3, L"--fail-saves 2"));
  ClickOn(OptionAction(0));
  ClickOn(ControlId::kStartCommand);
  EXPECT_TRUE(WaitForCount("series done", 1, 4 * kPageWait));
  EXPECT_EQ(Saved(), (std::vector<std::string>{"page01", "page02", "page03"}));
  EXPECT_EQ(SaveAsTyped(), "page01page02page02page03");
  EXPECT_EQ(Count("save-failed"), 1u);
}

TEST_F(QuorvelRun, StopEndsTheSeriesMidway) {
  ASSERT_NO_FATAL_FAILURE(Start(5, 5));
  ClickOn(OptionAction(0));
  ClickOn(ControlId::kStartCommand);
  ASSERT_TRUE(WaitForCount("saved", 2, 2 * kPageWait));
  ClickOn(ControlId::kStopCommand);
  const std::size_t keys_at_stop = Count("key ");
  // The next error box comes and stays: nobody closes it.
  ASSERT_TRUE(WaitForCount("error-box shown", 3, kPageWait));
  WaitFor([] { return false; }, milliseconds(7500));
  EXPECT_EQ(Count("error-box closed"), 2u);
  EXPECT_EQ(Count("key "), keys_at_stop);
  EXPECT_EQ(Saved(), (std::vector<std::string>{"page01", "page02"}));
}

TEST_F(QuorvelRun, FocusTheftLetsNoKeyReachTheThief) {
  const std::wstring thief_log = ThiefLog();
  Program thief(e2e::WinePath(QUORVEL_THIEF_EXE),
                L"--watch \"Save As\" --delay-ms 0 --hold-ms 6000 --log \"" + thief_log + L"\"");
  ASSERT_NO_FATAL_FAILURE(Start(2, 2));
  ClickOn(OptionAction(0));
  ClickOn(ControlId::kStartCommand);
  EXPECT_TRUE(WaitForCount("series done", 1, 3 * kPageWait));
  EXPECT_EQ(Saved(), (std::vector<std::string>{"page01", "page02"}));
  EXPECT_EQ(SaveAsTyped(), "page01page02");
  const auto stolen = e2e::LogLines(thief_log);
  EXPECT_FALSE(Matching(stolen, "grab").empty()) << "the thief never took the foreground";
  EXPECT_EQ(e2e::KeyEvents(stolen), std::vector<std::string>{});
  std::printf("thief took the foreground %zu times; Save As received %zu keys\n",
              Matching(stolen, "grab").size(), Matching(Log(), "key [Save As]").size());
}

}  // namespace
}  // namespace quorvel
