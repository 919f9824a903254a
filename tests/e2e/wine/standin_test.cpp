// The Win32 stand-in scanning application driven through the Windows desktop port, the way the
// automation cycle drives it: the error box, the final button, the common Save As dialog.
#include <gtest/gtest.h>

#include "common/win32_text.h"
#include "desktop/win32_desktop.h"
#include "wine_rig.h"

namespace quorvel {
namespace {

using e2e::Matching;
using e2e::Program;
using e2e::TempFolder;
using e2e::WaitForNoWindow;
using e2e::WaitForWindow;
using std::chrono::milliseconds;

constexpr milliseconds kWindowWait{15000};

std::wstring ScannerArguments(const TempFolder& folder, int pages, const std::wstring& extra) {
  return L"--folder \"" + folder.Path() + L"\" --log \"" + folder.File(L"scanner.log") +
         L"\" --pages " + std::to_wstring(pages) + L" --scan-ms 800 --next-ms 500 " + extra;
}

// The control texts of a window, for the test log.
std::string ControlTexts(HWND window) {
  std::string texts;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM out) {
        wchar_t text[128] = L"";
        GetWindowTextW(child, text, 128);
        if (text[0]) *reinterpret_cast<std::string*>(out) += "[" + WideToUtf8(text) + "] ";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// One page the way the cycle does it. False at the first step that did not happen.
// The error box closed and the final button pressed, as the cycle does it.
::testing::AssertionResult PressFinalButton(Win32Desktop& desktop) {
  if (!WaitForWindow(L"DeskScan Error", kWindowWait))
    return ::testing::AssertionFailure() << "no error box";
  if (!desktop.AppActivate("DeskScan II") || !desktop.SendKeys(KeyString().Enter(), true))
    return ::testing::AssertionFailure() << "Enter not delivered";
  if (!WaitForNoWindow(L"DeskScan Error", kWindowWait))
    return ::testing::AssertionFailure() << "box stays";
  if (!desktop.AppActivate("DeskScan II") || !desktop.SendKeys(KeyString().Tab(13).Alt('n'), true))
    return ::testing::AssertionFailure() << "final button keys not delivered";
  return ::testing::AssertionSuccess();
}

// The names saved once the stand-in has ended its series: it writes the file after the dialog has
// gone, so the folder is read only once the log says the series is done.
std::vector<std::string> SavedAtSeriesEnd(const TempFolder& folder) {
  e2e::WaitFor(
      [&] { return !Matching(e2e::LogLines(folder.File(L"scanner.log")), "series done").empty(); },
      kWindowWait);
  return e2e::SavedNames(folder.Path());
}

::testing::AssertionResult ScanPage(Win32Desktop& desktop, const std::string& name) {
  if (const auto pressed = PressFinalButton(desktop); !pressed) return pressed;
  if (!WaitForWindow(L"Save As", kWindowWait)) return ::testing::AssertionFailure() << "no Save As";
  if (!desktop.AppActivate("Save As") ||
      !desktop.SendKeys(KeyString().Alt('n').Text(name).Alt('s'), true))
    return ::testing::AssertionFailure() << "name not delivered";
  if (!WaitForNoWindow(L"Save As", kWindowWait))
    return ::testing::AssertionFailure() << "Save As stays";
  return ::testing::AssertionSuccess();
}

TEST(StandIn, SeriesThroughTheCommonSaveAsDialog) {
  TempFolder folder(L"standin");
  Program scanner(e2e::WinePath(QUORVEL_SCANNER_EXE), ScannerArguments(folder, 3, L""));
  Win32Desktop desktop;
  const char* names[] = {"page-01", "page 02", "p%03"};
  for (const char* name : names) {
    ASSERT_TRUE(ScanPage(desktop, name)) << name;
    const std::string path = WideToUtf8(folder.Path()) + "\\" + name + ".bmp";
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::FileThere(Utf8ToWide(path)); }, kWindowWait))
        << path;
  }
  EXPECT_EQ(e2e::SavedNames(folder.Path()),
            (std::vector<std::string>{"p%03", "page 02", "page-01"}));
  // The stand-in logs the end of its series just after the last file is written.
  EXPECT_TRUE(e2e::WaitFor(
      [&] { return !Matching(e2e::LogLines(folder.File(L"scanner.log")), "series done").empty(); },
      kWindowWait));
  const auto log = e2e::LogLines(folder.File(L"scanner.log"));
  EXPECT_EQ(Matching(log, "series done").size(), 1u);
  EXPECT_EQ(Matching(log, "final-button ignored").size(), 0u);
  EXPECT_EQ(e2e::TypedInto(log, "Save As"), "page-01page 02p%03");
  // Keys reach only the scanning application's three windows.
  for (const std::string& line : Matching(log, "key ")) {
    EXPECT_TRUE(line.starts_with("key [DeskScan II]") || line.starts_with("key [DeskScan Error]") ||
                line.starts_with("key [Save As]"))
        << line;
  }
}

TEST(StandIn, ANameSentAgainReplacesWhatAnInterruptedOneLeft) {
  TempFolder folder(L"standin-again");
  Program scanner(e2e::WinePath(QUORVEL_SCANNER_EXE), ScannerArguments(folder, 1, L""));
  Win32Desktop desktop;
  ASSERT_TRUE(PressFinalButton(desktop));
  ASSERT_TRUE(WaitForWindow(L"Save As", kWindowWait));
  // The first part of a delivery that the focus left midway, then the whole name again.
  ASSERT_TRUE(desktop.AppActivate("Save As"));
  ASSERT_TRUE(desktop.SendKeys(KeyString().Alt('n').Text("pag"), true));
  ASSERT_TRUE(desktop.AppActivate("Save As"));
  ASSERT_TRUE(desktop.SendKeys(KeyString().Alt('n').Text("page01").Alt('s'), true));
  ASSERT_TRUE(WaitForNoWindow(L"Save As", kWindowWait));
  EXPECT_EQ(SavedAtSeriesEnd(folder), std::vector<std::string>{"page01"});
}

TEST(StandIn, WaitReturnsOnceTheTargetHasTakenTheKeys) {
  TempFolder folder(L"standin-wait");
  Program scanner(e2e::WinePath(QUORVEL_SCANNER_EXE), ScannerArguments(folder, 1, L""));
  Win32Desktop desktop;
  ASSERT_TRUE(PressFinalButton(desktop));
  // Everything sent was taken off the stand-in's queue before SendKeys returned.
  const auto log = e2e::LogLines(folder.File(L"scanner.log"));
  EXPECT_EQ(Matching(log, "key [DeskScan II] vk=09").size(), 13u);
  EXPECT_EQ(Matching(log, "final-button").size(), 1u);
  ASSERT_TRUE(WaitForWindow(L"Save As", kWindowWait));
  std::printf("Save As dialog under this system: %s\n",
              ControlTexts(e2e::ShownWindow(L"Save As")).c_str());
}

TEST(StandIn, FocusTheftKeepsEveryKeyFromTheThief) {
  TempFolder folder(L"standin-theft");
  Program scanner(e2e::WinePath(QUORVEL_SCANNER_EXE), ScannerArguments(folder, 1, L""));
  Program thief(e2e::WinePath(QUORVEL_THIEF_EXE),
                L"--watch \"Save As\" --delay-ms 300 --hold-ms 3000 --log \"" +
                    folder.File(L"thief.log") + L"\"");
  Win32Desktop desktop;
  ASSERT_TRUE(PressFinalButton(desktop));
  ASSERT_TRUE(WaitForWindow(L"Save As", kWindowWait));
  ASSERT_TRUE(e2e::WaitFor(
      [&] { return !Matching(e2e::LogLines(folder.File(L"thief.log")), "grab").empty(); },
      kWindowWait));
  // The cycle's retries while the thief holds the foreground, then once it lets go.
  int refused = 0;
  int delivered = 0;
  const auto keys = KeyString().Alt('n').Text("stolen-not").Alt('s');
  e2e::WaitFor(
      [&] {
        if (!desktop.AppActivate("Save As")) return true;  // the dialog is gone: saved
        (desktop.SendKeys(keys, true) ? delivered : refused)++;
        EXPECT_FALSE(GetAsyncKeyState(VK_MENU) & 0x8000) << "Alt left down";
        return false;
      },
      milliseconds(10000));
  const auto thief_log = e2e::LogLines(folder.File(L"thief.log"));
  EXPECT_EQ(e2e::KeyEvents(thief_log), std::vector<std::string>{});
  EXPECT_GT(refused, 0) << "the thief never held the foreground at a delivery";
  EXPECT_GE(delivered, 1);
  EXPECT_EQ(SavedAtSeriesEnd(folder), std::vector<std::string>{"stolen-not"});
  std::printf("deliveries refused %d, delivered %d, thief grabs %zu\n", refused, delivered,
              Matching(thief_log, "grab").size());
}

}  // namespace
}  // namespace quorvel
