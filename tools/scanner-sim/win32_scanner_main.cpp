// The stand-in scanning application with real Win32 windows. A main window "DeskScan II" with
// thirteen tab stops before its final button (Alt+N); after each scan a real message box
// ("DeskScan Error" unless told otherwise); the final button opens the common Save As dialog, and
// the name chosen there is written as a small .bmp; the next scan starts a set time after each
// save.
//
// Options: --folder DIR (where the dialog opens), --pages N, --scan-ms N (page start to error
// box), --next-ms N (save to next page), --fail-saves 2,4 (pages whose save writes nothing),
// --log FILE (key and event log), --box-title TEXT (the error box's title; "DeskScan II" gives
// it the main window's title), --ansi (the dialog of the ANSI API, GetSaveFileNameA).
#include <windows.h>

#include <commdlg.h>

#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "common/win32_text.h"
#include "sim/bmp_file.h"
#include "win32_event_log.h"

namespace quorvel {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelDeskScanStandIn";
constexpr int kControlsBeforeFinalButton = 13;
constexpr int kFinalButtonId = 200;
constexpr UINT_PTR kScanTimer = 1;
// On the right of the screen, clear of an operator window in the top left corner.
constexpr int kLeft = 720;
constexpr int kTop = 60;

enum class Stage { kScanning, kErrorShown, kScanned, kSaving, kDone };

struct Scanner {
  HWND main = nullptr;
  std::wstring folder;
  int pages = 5;
  int scan_ms = 1000;
  int next_ms = 1000;
  std::set<int> failing_pages;
  std::wstring box_title;
  bool ansi = false;
  int page = 1;
  Stage stage = Stage::kScanning;
};

Scanner scanner;

std::set<int> ParsePages(const std::wstring& list) {
  std::set<int> pages;
  std::wstringstream in(list);
  std::wstring item;
  while (std::getline(in, item, L',')) {
    if (!item.empty()) pages.insert(std::stoi(item));
  }
  return pages;
}

void CreateControls(HWND window, HINSTANCE instance) {
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  // Settings a scanning application has before its final button, each a tab stop.
  for (int i = 0; i < kControlsBeforeFinalButton; ++i) {
    const int column = i % 3;
    const int row = i / 3;
    const std::wstring caption = L"Setting " + std::to_wstring(i + 1);
    const HWND control = CreateWindowExW(
        0, L"BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
        10 + column * 130, 10 + row * 28, 120, 24, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  const HWND final_button = CreateWindowExW(
      0, L"BUTTON", L"Save &Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 160, 120,
      28, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFinalButtonId)), instance, nullptr);
  SendMessageW(final_button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void StartScan(int after_ms) {
  scanner.stage = Stage::kScanning;
  SetTimer(scanner.main, kScanTimer, static_cast<UINT>(after_ms), nullptr);
}

void ScanDone() {
  KillTimer(scanner.main, kScanTimer);
  LogEvent("scanned", "page " + std::to_string(scanner.page));
  scanner.stage = Stage::kErrorShown;
  LogEvent("error-box", "shown");
  MessageBoxW(scanner.main, L"The scanner reported an error. Press OK to continue.",
              scanner.box_title.c_str(), MB_OK | MB_ICONEXCLAMATION);
  LogEvent("error-box", "closed");
  scanner.stage = Stage::kScanned;
}

// The path chosen in the Save As dialog: UTF-8 for the log, the ANSI code page for the file API
// of the narrow string.
struct ChosenPath {
  std::string utf8;
  std::string ansi;
};

std::string WideToAnsi(const std::wstring& wide) {
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  ansi.resize(ansi.size() - 1);
  return ansi;
}

// The fields both variants of the dialog share, in the variant's own strings.
template <typename Dialog, typename Char>
Dialog SaveAsDialog(Char* name, const std::basic_string<Char>& folder, const Char* filter,
                    const Char* title, const Char* extension) {
  Dialog dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = scanner.main;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title;
  dialog.lpstrDefExt = extension;
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  return dialog;
}

std::optional<ChosenPath> AskSavePath() {
  if (scanner.ansi) {
    char name[MAX_PATH] = "";
    const std::string folder = WideToAnsi(scanner.folder);
    auto dialog =
        SaveAsDialog<OPENFILENAMEA>(name, folder, "Bitmap (*.bmp)\0*.bmp\0", "Save As", "bmp");
    if (!GetSaveFileNameA(&dialog)) return std::nullopt;
    return ChosenPath{AnsiToUtf8(name), name};
  }
  wchar_t name[MAX_PATH] = L"";
  auto dialog = SaveAsDialog<OPENFILENAMEW>(name, scanner.folder, L"Bitmap (*.bmp)\0*.bmp\0",
                                            L"Save As", L"bmp");
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return ChosenPath{WideToUtf8(name), WideToAnsi(name)};
}

void Save() {
  scanner.stage = Stage::kSaving;
  LogEvent("save-as", "shown");
  const std::optional<ChosenPath> path = AskSavePath();
  if (!path) {
    LogEvent("save-as", "cancelled");
    scanner.stage = Stage::kScanned;
    return;
  }
  if (scanner.failing_pages.contains(scanner.page)) {
    LogEvent("save-failed", path->utf8);
  } else {
    LogEvent(WriteSmallBmp(path->ansi, scanner.page) ? "saved" : "save-error", path->utf8);
  }
  if (++scanner.page > scanner.pages) {
    scanner.stage = Stage::kDone;
    LogEvent("series", "done");
    return;
  }
  StartScan(scanner.next_ms);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kScanTimer && scanner.stage == Stage::kScanning) ScanDone();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kFinalButtonId) {
        const HWND focus = GetFocus();
        LogEvent("final-button", "focus=" + std::to_string(GetDlgCtrlID(focus)));
        if (scanner.stage == Stage::kScanned) {
          Save();
        } else {
          LogEvent("final-button", "ignored");
        }
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace
}  // namespace quorvel

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  using namespace quorvel;
  OpenEventLog(OptionValue(L"--log"));
  scanner.folder = OptionValue(L"--folder");
  scanner.pages = OptionNumber(L"--pages", 5);
  scanner.scan_ms = OptionNumber(L"--scan-ms", 1000);
  scanner.next_ms = OptionNumber(L"--next-ms", 1000);
  scanner.failing_pages = ParsePages(OptionValue(L"--fail-saves"));
  scanner.box_title = OptionValue(L"--box-title", L"DeskScan Error");
  scanner.ansi = HasOption(L"--ansi");

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);
  scanner.main = CreateWindowExW(0, kClassName, L"DeskScan II",
                                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kLeft,
                                 kTop, 420, 240, nullptr, nullptr, instance, nullptr);
  CreateControls(scanner.main, instance);
  InstallKeyLog();
  ShowWindow(scanner.main, show);
  LogEvent("started", "pages " + std::to_string(scanner.pages));
  StartScan(scanner.scan_ms);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Dialog keys in the main window: Tab walks the controls, Alt+N presses the final button.
    if (IsDialogMessageW(scanner.main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
