#include "desktop/win32_desktop.h"

#include <tlhelp32.h>

#include <chrono>
#include <span>
#include <thread>

#include "common/win32_text.h"
#include "desktop/title_match.h"
#include "desktop/win32_key_input.h"

namespace quorvel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A walk longer than this has met a z-order that changed into a loop under it.
constexpr std::size_t kMaxWindows = 65536;
// How long a requested activation may take to arrive before keys are refused.
constexpr milliseconds kActivationWait{500};
// How long the target must have held the foreground, unbroken, before the first key goes. A
// program that fights for the foreground takes it back well within this, and is seen doing so
// before any key goes, not while the keys are on their way.
constexpr milliseconds kSteadyForeground{100};
// How long one SendKeys waits, all its keys together, for the target to read them.
constexpr milliseconds kProcessWait{3000};
constexpr milliseconds kPoll{10};
// How long another program has to answer a message before it counts as not answering now.
constexpr milliseconds kAnswerWait{200};

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}
WindowHandle ToHandle(HWND window) {
  return reinterpret_cast<std::uintptr_t>(window);
}

// The foreground window is the target itself or a window it owns (its message box, its dialog).
bool ForegroundBelongsTo(HWND target) {
  std::size_t depth = 0;
  for (HWND w = GetForegroundWindow(); w && depth < 64; w = GetWindow(w, GW_OWNER), ++depth) {
    if (w == target) return true;
  }
  return false;
}

// Waits, up to `timeout`, until the foreground has belonged to the target unbroken for `steady`.
bool WaitForForeground(HWND target, milliseconds steady, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  bool held = false;
  Clock::time_point since{};
  for (;;) {
    const auto now = Clock::now();
    if (!ForegroundBelongsTo(target)) {
      held = false;
    } else if (!held) {
      held = true;
      since = now;
    }
    if (held && now - since >= steady) return true;
    if (now >= deadline) return false;
    std::this_thread::sleep_for(kPoll);
  }
}

// The window's thread takes its messages: it answers a WM_NULL within the time limit. A thread that
// has taken none for some seconds is passed over at once (SMTO_ABORTIFHUNG). Every question put to
// another program's window goes through here or through a call that does not wait, so that a hung
// program never holds this one up.
bool Answers(HWND window) {
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) return true;
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                             static_cast<UINT>(kAnswerWait.count()), &result) != 0;
}

// A program that does not answer keeps the foreground it holds, and a window that does not answer
// is not brought forward: raising a window of another thread waits for that thread, and the
// foreground lock is lifted only by sharing the input state of the foreground's thread, which
// would tie this program's input to a thread that does not run. The keys then refuse to go, and
// the series waits for the program, or for the operator whom the stall alert tells.
bool MayTakeForeground(HWND window) {
  const HWND front = GetForegroundWindow();
  return front == window || ((!front || Answers(front)) && Answers(window));
}

// Asks for the foreground for a window that may take it (MayTakeForeground).
bool BringToForeground(HWND window) {
  const HWND before = GetForegroundWindow();
  if (before == window) return true;
  if (SetForegroundWindow(window)) return true;
  // The foreground lock refuses a program that does not own the foreground; sharing the input
  // state of the foreground thread for the moment of the switch lifts it.
  const DWORD own_thread = GetCurrentThreadId();
  const HWND foreground = GetForegroundWindow();
  const DWORD foreground_thread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  // Only the input state of a thread that has just answered is shared.
  const bool attached = foreground_thread != 0 && foreground_thread != own_thread &&
                        (foreground == before || Answers(foreground)) &&
                        AttachThreadInput(own_thread, foreground_thread, TRUE);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
  const bool done = SetForegroundWindow(window);
  if (attached) AttachThreadInput(own_thread, foreground_thread, FALSE);
  return done;
}

// Returns once the thread of `target` has taken the input off its queue, or at the deadline. A
// window of this very thread cannot be waited for.
//
// Each round trip of a sent WM_NULL completes at the thread's next call for a message, and each
// such call takes at most one message off the queue. So once there have been as many round
// trips as input events and the characters they produce, and a few more, the thread has read
// them all. (WaitForInputIdle does not tell: Wine answers it at once after start-up.)
void WaitUntilProcessed(HWND target, HWND owner, std::size_t input_events,
                        Clock::time_point deadline) {
  const DWORD thread = GetWindowThreadProcessId(IsWindow(target) ? target : owner, nullptr);
  if (thread == 0 || thread == GetCurrentThreadId()) return;
  for (std::size_t i = 0; i < 2 * input_events + 4; ++i) {
    // Keys for a dialog that closes on them end up with its owner, on the same thread.
    const HWND window = IsWindow(target) ? target : owner;
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    DWORD_PTR result = 0;
    if (!window || left <= 0 ||
        !SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(left),
                             &result)) {
      return;
    }
  }
}

// The control with the keyboard focus in the thread of `window`; none while that thread holds no
// active window, as after the foreground has left it.
HWND ThreadFocus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Sends the events of one key one by one, each press only while the foreground still belongs to
// the target, looked at before SendInput and once more by the guard as the system routes it: Wine
// routes every event of one SendInput call to the foreground of its own moment, so a program that
// takes the foreground midway would get the rest of a chord. False when a press could not go; the
// keys pressed before it are released, wherever the foreground is.
//
// A release is no part of the judgement: the key it ends may itself have moved the foreground
// (Enter that closes a box, Alt+S that closes a dialog), and a lone release does nothing.
bool SendWhileForeground(KeyGuard& guard, HWND target, const std::vector<INPUT>& inputs) {
  std::size_t sent = 0;
  for (; sent < inputs.size(); ++sent) {
    const bool press = !(inputs[sent].ki.dwFlags & KEYEVENTF_KEYUP);
    if (press && !ForegroundBelongsTo(target)) break;
    if (!guard.Send(inputs[sent], target)) break;
  }
  if (sent == inputs.size()) return true;
  std::vector<INPUT> releases = ReleasesOfHeld(std::span(inputs.data(), sent));
  SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
  for (std::size_t i = sent; i < inputs.size(); ++i) {
    if (!(inputs[i].ki.dwFlags & KEYEVENTF_KEYUP)) return false;
  }
  return true;
}

// The caption of a dialog's control, read with a time limit: a dialog that does not answer keeps
// its captions to itself, and `answered` turns false; empty then, or when the control is missing.
std::string CaptionOf(HWND dialog, int id, bool& answered) {
  wchar_t text[128] = L"";
  DWORD_PTR copied = 0;
  const HWND control = GetDlgItem(dialog, id);
  answered = answered && control &&
             SendMessageTimeoutW(control, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text),
                                 SMTO_ABORTIFHUNG, static_cast<UINT>(kAnswerWait.count()), &copied);
  text[127] = L'\0';
  return answered ? WideToUtf8(text) : std::string();
}

bool IsDialogBox(HWND window) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  return std::wstring_view(name) == L"#32770";
}

// The process's executable is the virtual DOS machine, which runs 16-bit programs as threads of
// one shared process: its file name without the folder, in any letter case, is "ntvdm.exe".
bool IsSharedVdm(DWORD process) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool shared = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID != process) continue;
    std::wstring_view file(entry.szExeFile);
    file = file.substr(file.find_last_of(L"\\/") + 1);
    std::wstring lower(file);
    for (wchar_t& c : lower) c = c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
    shared = lower == L"ntvdm.exe";
    break;
  }
  CloseHandle(snapshot);
  return shared;
}

}  // namespace

Win32Desktop::Win32Desktop() : guard_(ForegroundBelongsTo) {}

std::vector<WindowHandle> Win32Desktop::ListTopLevelWindows() {
  shared_vdm_.clear();  // a process id may have been taken by another process since
  std::vector<WindowHandle> windows;
  HWND w = program_window_ ? GetWindow(program_window_, GW_HWNDFIRST)
                           : GetWindow(GetDesktopWindow(), GW_CHILD);
  for (; w && windows.size() < kMaxWindows; w = GetWindow(w, GW_HWNDNEXT)) {
    windows.push_back(ToHandle(w));
  }
  return windows;
}

std::string Win32Desktop::WindowTitle(WindowHandle window) {
  const HWND w = ToHwnd(window);
  const int length = GetWindowTextLengthA(w);
  if (length <= 0) return {};
  std::string ansi(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(w, ansi.data(), length + 1);
  ansi.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return AnsiToUtf8(ansi);
}

WindowHandle Win32Desktop::OwnerOf(WindowHandle window) {
  return ToHandle(GetWindow(ToHwnd(window), GW_OWNER));
}

// A window's process, and where the process is the shared virtual DOS machine of 16-bit programs
// (see docs/DEVELOPING.md), the thread too: each 16-bit program runs on a thread of its own there,
// and its windows and dialogs are all of that thread.
ProgramId Win32Desktop::ProgramOf(WindowHandle window) {
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(ToHwnd(window), &process);
  if (thread == 0 || process == 0) return 0;
  auto shared = shared_vdm_.find(process);
  if (shared == shared_vdm_.end())
    shared = shared_vdm_.emplace(process, IsSharedVdm(process)).first;
  return shared->second ? ProgramId{process} << 32 | thread : ProgramId{process};
}

// A message box (a dialog box, class #32770) with the buttons Yes and No.
DesktopPort::QuestionCaptions Win32Desktop::QuestionBox(WindowHandle window) {
  const HWND box = ToHwnd(window);
  if (!IsDialogBox(box) || !GetDlgItem(box, IDYES) || !GetDlgItem(box, IDNO)) return {};
  bool answered = true;
  QuestionCaptions captions;
  captions.yes = CaptionOf(box, IDYES, answered);
  captions.no = CaptionOf(box, IDNO, answered);
  return answered ? captions : QuestionCaptions{};
}

// Hidden windows of a hung program (its input method's, say) stand in nobody's way.
bool Win32Desktop::NotAnswering(WindowHandle window) {
  const HWND w = ToHwnd(window);
  return IsWindowVisible(w) && IsHungAppWindow(w);
}

// The common file dialog is a dialog box (class #32770) with the file-name field of its template:
// the combo box cmb13 of the Explorer style, or the edit field edt1 of the old style. Its label
// stc3 and its default button say which letters reach them with Alt.
std::optional<DesktopPort::FileDialogCaptions> Win32Desktop::FileDialog(WindowHandle window) {
  constexpr int kNameCombo = 0x47C, kNameEdit = 0x480, kNameLabel = 0x442;
  const HWND dialog = ToHwnd(window);
  if (!IsDialogBox(dialog) || (!GetDlgItem(dialog, kNameCombo) && !GetDlgItem(dialog, kNameEdit))) {
    return std::nullopt;
  }
  // Read with a time limit: a dialog that does not answer keeps its letters to itself, and the
  // defaults stand for them.
  bool answered = true;
  std::string label = CaptionOf(dialog, kNameLabel, answered);
  std::string button = CaptionOf(dialog, IDOK, answered);
  return FileDialogCaptions{std::move(label), std::move(button)};
}

bool Win32Desktop::AppActivate(std::string_view title) {
  // Only shown windows can take the foreground; hidden ones with the same title are passed by.
  std::vector<HWND> shown;
  std::vector<std::string> titles;
  for (WindowHandle handle : ListTopLevelWindows()) {
    const HWND w = ToHwnd(handle);
    if (!IsWindowVisible(w)) continue;
    shown.push_back(w);
    titles.push_back(WindowTitle(handle));
  }
  const auto match = MatchTitle(titles, title);
  return Activate(match ? ToHandle(shown[*match]) : 0);
}

bool Win32Desktop::Activate(WindowHandle window) {
  target_ = ToHwnd(window);
  if (!target_ || !IsWindow(target_)) {
    target_ = nullptr;
    return false;
  }
  if (IsIconic(target_)) ShowWindowAsync(target_, SW_RESTORE);  // waits for no other thread
  // A window showing a modal box is disabled; the box it last activated takes the focus.
  HWND focus = GetLastActivePopup(target_);
  if (!focus || !IsWindowVisible(focus) || !IsWindowEnabled(focus)) focus = target_;
  held_back_ = !MayTakeForeground(focus);
  if (!held_back_) BringToForeground(focus);
  return true;
}

// Every key is read by the target before the next goes, so the call always returns only once
// the target has processed the keys, whatever `wait` asks.
//
// A key is delivered when each of its presses went while the foreground belonged to the target:
// the system puts an input event in the queue of the foreground's thread of its moment, and the
// round trips of WaitUntilProcessed see that thread read it. Where the foreground goes after a
// key says nothing against it: the keys of the cycle open and close windows themselves.
//
// One key is in doubt: the last that went before another program took the foreground. The target
// may have read it, or dropped it when it lost the foreground first (Wine drops the input of a
// thread left without a focus). For a Tab the window itself tells once it is activated again: it
// gives the focus back to the control that had it, which is the one the Tab left only if the Tab
// never arrived. So a Tab in doubt does not count, and when the next delivery starts with a Tab
// to the same window, that Tab goes only if the focus is still where the doubtful one found it.
bool Win32Desktop::SendKeys(const KeyString& keys, bool /*wait*/) {
  keys_delivered_ = 0;
  if (!target_ || !IsWindow(target_) || held_back_) return false;
  // The doubt is settled by the first key that goes; a call that sends none leaves it standing.
  const std::optional<DoubtfulTab> doubt = doubtful_tab_;
  const HWND owner = GetAncestor(target_, GA_ROOTOWNER);
  const auto deadline = Clock::now() + kActivationWait + kProcessWait;
  bool delivered = true;
  bool first = true;
  HWND last_tab_start = nullptr;  // the focus before the last key delivered, where it was a Tab
  // Nobody else may move the foreground between the check and the key, where the system grants
  // the lock (to the foreground process only; under Wine it holds nobody back, and the check
  // before each press covers it).
  LockSetForegroundWindow(LSFW_LOCK);
  for (const Key& key : keys.Keys()) {
    // Each key goes only after a fresh look at the foreground. The first waits for the
    // activation just requested to arrive and hold.
    // The first key also waits for the window in front to answer: keys for a program that does
    // not would wait in its queue for a moment nobody can foresee.
    if (!(first ? WaitForForeground(target_, kSteadyForeground, kActivationWait) &&
                      Answers(GetForegroundWindow())
                : ForegroundBelongsTo(target_))) {
      delivered = false;
      break;
    }
    if (first) doubtful_tab_.reset();
    const bool tab = key.kind == Key::Kind::kTab;
    const HWND focus = tab ? ThreadFocus(target_) : nullptr;
    const bool arrived_before =
        first && tab && doubt && doubt->window == target_ && focus && focus != doubt->focus_before;
    first = false;
    last_tab_start = nullptr;
    if (!arrived_before) {
      const std::vector<INPUT> inputs = KeyInputs(key);
      delivered = SendWhileForeground(guard_, target_, inputs);
      WaitUntilProcessed(target_, owner, inputs.size(), deadline);
      if (!delivered) break;
      last_tab_start = focus;
    }
    ++keys_delivered_;
  }
  LockSetForegroundWindow(LSFW_UNLOCK);
  if (!delivered && last_tab_start) {
    --keys_delivered_;
    doubtful_tab_ = DoubtfulTab{target_, last_tab_start};
  }
  return delivered;
}

bool Win32Desktop::RunCommand(const std::string& command, const std::string& argument) {
  // The command line as the operator gave it, then the message as one quoted argument.
  std::wstring quoted = L"\"";
  for (wchar_t c : Utf8ToWide(argument))
    quoted += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
  std::wstring line = Utf8ToWide(command) + L" " + quoted + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace quorvel
