// The stand-in scanning application with real Win32 windows. A main window "DeskScan II" with
// thirteen tab stops before its final button (Alt+N), which keeps its focused control across
// activations as a dialog does; after each scan a real message box; the final button opens the
// common Save As dialog, and the name chosen there is written as a small .bmp; the next scan
// starts a set time after each save. Options: those of every stand-in (tool_options.h; with
// --ask-before-replacing the dialog has OFN_OVERWRITEPROMPT), --ansi (the dialog of the ANSI API,
// GetSaveFileNameA), --system-title (the dialog gets no title of its own, so the system gives it
// one in its language) and --old-dialog (the dialog of Windows 3.1 that a 16-bit program gets:
// "File &Name:" above the name field, and the buttons OK and Cancel).
#include <windows.h>

#include <commdlg.h>

#include <filesystem>
#include <optional>
#include <string>

#include "common/win32_text.h"
#include "sim/bmp_file.h"
#include "tool_options.h"
#include "win32_key_hooks.h"

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
  StandInOptions options;
  bool ansi = false;
  bool system_title = false;
  bool old_dialog = false;
  EventLog* log = nullptr;
  int page = 1;
  int saves = 0;         // attempts, failed ones included
  HWND focus = nullptr;  // the control that had the focus when the main window was deactivated
  Stage stage = Stage::kScanning;
};

Scanner scanner;

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

void StartScan(std::int64_t after_ms) {
  scanner.stage = Stage::kScanning;
  SetTimer(scanner.main, kScanTimer, static_cast<UINT>(after_ms), nullptr);
}

// The error box; at the jam page, a box whose title Quorvel does not know, which stays until
// someone closes it. The next step waits for the box to close.
void ScanDone() {
  KillTimer(scanner.main, kScanTimer);
  scanner.stage = Stage::kErrorShown;
  const bool jam = scanner.page == scanner.options.jam_page;
  const std::string title = jam ? kJamTitle : scanner.options.box_title;
  scanner.log->Line("box", title, "shown");
  MessageBoxW(
      scanner.main,
      jam ? L"The paper is jammed." : L"The scanner reported an error. Press OK to continue.",
      Utf8ToWide(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
  scanner.log->Line("box", title, "closed");
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

// The old-style dialog's hook: it leaves every message to the dialog. Windows draws the old style
// for any dialog without OFN_EXPLORER; Wine only for one with a hook or a template as well.
UINT_PTR CALLBACK OldDialogHook(HWND, UINT, WPARAM, LPARAM) {
  return 0;
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
  dialog.Flags = (scanner.old_dialog ? OFN_ENABLEHOOK : OFN_EXPLORER) | OFN_PATHMUSTEXIST |
                 OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                 (scanner.options.ask_before_replacing ? OFN_OVERWRITEPROMPT : 0);
  if (scanner.old_dialog) dialog.lpfnHook = OldDialogHook;
  return dialog;
}

// The chosen path with ".bmp" added when its name has no extension: Wine's old-style dialog leaves
// the default extension off, which Windows adds, so the application adds it itself.
ChosenPath WithExtension(ChosenPath path) {
  const std::size_t name = path.ansi.find_last_of('\\') + 1;
  if (path.ansi.find('.', name) == std::string::npos) {
    path.ansi += ".bmp";
    path.utf8 += ".bmp";
  }
  return path;
}

std::optional<ChosenPath> AskSavePath() {
  const std::wstring title = Utf8ToWide(scanner.options.dialog_title);
  const std::wstring folder = Utf8ToWide(scanner.options.folder);
  if (scanner.ansi) {
    char name[MAX_PATH] = "";
    const std::string ansi_title = WideToAnsi(title), ansi_folder = WideToAnsi(folder);
    auto dialog =
        SaveAsDialog<OPENFILENAMEA>(name, ansi_folder, "Bitmap (*.bmp)\0*.bmp\0",
                                    scanner.system_title ? nullptr : ansi_title.c_str(), "bmp");
    if (!GetSaveFileNameA(&dialog)) return std::nullopt;
    return WithExtension({AnsiToUtf8(name), name});
  }
  wchar_t name[MAX_PATH] = L"";
  auto dialog = SaveAsDialog<OPENFILENAMEW>(name, folder, L"Bitmap (*.bmp)\0*.bmp\0",
                                            scanner.system_title ? nullptr : title.c_str(), L"bmp");
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return WithExtension({WideToUtf8(name), WideToAnsi(name)});
}

// The name typed into the dialog: the chosen file's name without its folder and ".bmp".
std::string NameOf(const std::string& path) {
  std::string name = path.substr(path.find_last_of('\\') + 1);
  if (name.ends_with(".bmp")) name.resize(name.size() - 4);
  return name;
}

void Save() {
  scanner.stage = Stage::kSaving;
  const std::optional<ChosenPath> path = AskSavePath();
  if (!path) {
    scanner.stage = Stage::kScanned;
    return;
  }
  const bool fail = scanner.options.failing_saves.contains(++scanner.saves);
  bool saved = !fail &&
               WriteSmallBmp(path->ansi, scanner.page,
                             static_cast<std::size_t>(scanner.options.image_bytes)) &&
               StampSavedImage(Utf8ToWide(path->utf8), scanner.options.clock_offset);
  if (saved &&
      scanner.options.cut_saves.contains(scanner.saves)) {  // half of it, as on a full disk
    const std::filesystem::path file(Utf8ToWide(path->utf8));
    std::error_code error;
    std::filesystem::resize_file(file, std::filesystem::file_size(file, error) / 2, error);
    saved = false;
  }
  scanner.log->Line("save", NameOf(path->utf8), saved ? "ok" : "failed");
  if (++scanner.page > scanner.options.pages) {
    scanner.stage = Stage::kDone;
    scanner.log->Line("done");
    return;
  }
  StartScan(scanner.options.scan_ms);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kScanTimer && scanner.stage == Stage::kScanning) ScanDone();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kFinalButtonId && scanner.stage == Stage::kScanned) Save();
      return 0;
    case WM_ACTIVATE:
      // As a dialog does: the control that had the focus gets it back with the activation.
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) scanner.focus = focus;
      } else if (scanner.focus && !HIWORD(wparam)) {
        SetFocus(scanner.focus);
        return 0;
      }
      return DefWindowProcW(window, message, wparam, lparam);
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
  std::vector<ToolOption> table = StandInOptionTable(scanner.options);
  table.push_back({"--ansi", &scanner.ansi});
  table.push_back({"--system-title", &scanner.system_title});
  table.push_back({"--old-dialog", &scanner.old_dialog});
  ReadToolOptionsOrExit(Arguments(), table, "deskscan-sim");
  EventLog log(scanner.options.log);
  scanner.log = &log;

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
  LogOwnKeys(log);
  LogStrayKeys(log);
  ShowWindow(scanner.main, show);
  StartScan(scanner.options.first_scan_ms);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Dialog keys in the main window: Tab walks the controls, Alt+N presses the final button.
    if (IsDialogMessageW(scanner.main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
