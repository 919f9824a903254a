// Another program's file dialog that stops answering, as one does while it browses a network drive
// that cannot be reached: a dialog box (class #32770) with the file-name field and label of the
// common "Open" dialog. Once shown, or with --front-when once the window with that title is in
// front and it has taken the foreground from it and held it for a moment, its thread takes no
// messages for --hang-ms, then answers again until it is ended. It logs "hung" as it stops
// answering, and every key it takes.
//
// Options: --title TEXT (its own, "Open"), --front-when TITLE, --hang-ms N, --log FILE.
#include <windows.h>

#include <string>

#include "common/win32_text.h"
#include "tool_options.h"
#include "win32_key_hooks.h"

namespace quorvel {
namespace {

constexpr int kNameEdit = 0x480, kNameLabel = 0x442;
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchMs = 10;

struct HungDialog {
  std::string title = "Open";
  std::string front_when;
  std::string log_path;
  int hang_ms = 300000;
  bool hung = false;
  DWORD holding_since = 0;  // the watched window was seen in front
  EventLog* log = nullptr;
};

HungDialog hung;

void AddControl(HWND dialog, const wchar_t* kind, const wchar_t* text, DWORD style, int id, int x,
                int y, int width) {
  CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, width, 24, dialog,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                  nullptr);
}

// Long enough for the window system to have finished every focus change under way, so that the
// foreground stays where it is once the thread stops.
constexpr DWORD kHoldMs = 300;

// Stops answering; with --front-when, only once it has held the foreground, taking it back while
// the window system settles, so that nothing but this program stands in front of the watched one.
void Watch(HWND dialog) {
  if (!hung.front_when.empty()) {
    const DWORD now = GetTickCount();
    if (!hung.holding_since) {
      const HWND watched = FindWindowW(nullptr, Utf8ToWide(hung.front_when).c_str());
      if (!watched || GetForegroundWindow() != watched) return;
      hung.holding_since = now;
    }
    if (GetForegroundWindow() != dialog) {
      SetForegroundWindow(dialog);
      hung.holding_since = now;
      return;
    }
    if (now < hung.holding_since + kHoldMs) return;
  }
  hung.hung = true;
  KillTimer(dialog, kWatchTimer);
  hung.log->Line("hung", hung.title);
  Sleep(static_cast<DWORD>(hung.hang_ms));
}

}  // namespace
}  // namespace quorvel

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  using namespace quorvel;
  const ToolOption options[] = {{"--title", &hung.title},
                                {"--front-when", &hung.front_when},
                                {"--hang-ms", &hung.hang_ms},
                                {"--log", &hung.log_path}};
  ReadToolOptionsOrExit(Arguments(), options, "hung-dialog");
  EventLog log(hung.log_path);
  hung.log = &log;

  // The dialog class's own window procedure (DefDlgProc) serves a window made directly.
  const HWND dialog = CreateWindowExW(
      WS_EX_DLGMODALFRAME, L"#32770", Utf8ToWide(hung.title).c_str(),
      WS_POPUP | WS_CAPTION | WS_SYSMENU, 40, 560, 420, 140, nullptr, nullptr, nullptr, nullptr);
  AddControl(dialog, L"STATIC", L"File &name:", 0, kNameLabel, 10, 14, 90);
  AddControl(dialog, L"EDIT", L"", WS_BORDER | WS_TABSTOP, kNameEdit, 100, 10, 290);
  AddControl(dialog, L"BUTTON", L"&Open", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 300, 50, 90);
  LogOwnKeys(log);
  ShowWindow(dialog, show);
  SetTimer(dialog, kWatchTimer, kWatchMs, nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == dialog && !hung.hung) {
      Watch(dialog);
      continue;
    }
    if (IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
