// The Windows desktop port on a real (Wine) desktop: the contract, in windows of this test's own
// thread and, for another program, the focus thief's (started not to take the foreground); a
// file dialog that does not answer; and keys cut off midway. And the program's folder.
#include "desktop/win32_desktop.h"
#include "files/win32_file_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <thread>
#include <utility>

#include "common/win32_text.h"
#include "desktop/win32_key_guard.h"
#include "desktop/win32_key_input.h"
#include "desktop_contract.h"

namespace quorvel {
namespace {

using std::chrono::milliseconds;

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}
WindowHandle HandleOf(HWND window) {
  return reinterpret_cast<std::uintptr_t>(window);
}

// The characters each window of this thread has taken from its queue; "%n" for Alt+N.
std::map<HWND, std::string> typed;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_CHAR && message != WM_SYSCHAR)
    return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_SYSCHAR) typed[window] += '%';
  typed[window] += WideToUtf8(std::wstring(1, static_cast<wchar_t>(wparam)));
  return 0;
}

class Win32Desk {
 public:
  Win32Desk() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = RecordingProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = kClass;
    RegisterClassW(&window_class);  // fails harmlessly when registered by an earlier case
  }
  ~Win32Desk() {
    for (const auto& [window, process] : windows_) Close(window, process);
  }

  DesktopPort& Port() { return desktop_; }
  WindowHandle Open(const std::string& title, WindowHandle owner, bool other_program) {
    const std::wstring wide = Utf8ToWide(title);
    HWND window = nullptr;
    PROCESS_INFORMATION process{};
    if (other_program) {
      std::wstring line = L"\"" FOCUS_THIEF_EXE L"\" --times 0 --title \"" + wide + L"\"";
      STARTUPINFOW startup{sizeof(STARTUPINFOW)};
      if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return 0;
      }
      CloseHandle(process.hThread);
      PumpUntil([&] { return (window = FindWindowW(nullptr, wide.c_str())) != nullptr; });
    } else {
      window =
          CreateWindowExW(0, kClass, wide.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                          150, ToHwnd(owner), nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    windows_.emplace(window, process.hProcess);
    // The window manager's focus for the new window arrives before the test moves it.
    PumpUntil([&] { return GetForegroundWindow() == window; });
    return HandleOf(window);
  }
  void Close(WindowHandle window) {
    Close(ToHwnd(window), windows_[ToHwnd(window)]);
    windows_.erase(ToHwnd(window));
  }
  void Focus(WindowHandle window) {
    PumpUntil([&] {
      return SetForegroundWindow(ToHwnd(window)) && GetForegroundWindow() == ToHwnd(window);
    });
  }
  std::string Received(WindowHandle window) { return typed[ToHwnd(window)]; }
  bool ModifierHeld() { return (GetAsyncKeyState(VK_MENU) | GetAsyncKeyState(VK_SHIFT)) & 0x8000; }
  void Pump() {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); DispatchMessageW(&msg))
      TranslateMessage(&msg);
  }

 private:
  static constexpr const wchar_t* kClass = L"QuorvelContractWindow";
  void PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + milliseconds(5000);
    for (Pump(); !done() && std::chrono::steady_clock::now() < deadline; Pump())
      std::this_thread::sleep_for(milliseconds(10));
  }
  // A window of this thread is destroyed; another program is asked to end, and made to.
  static void Close(HWND window, HANDLE process) {
    if (!process) {
      DestroyWindow(window);
      return;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    CloseHandle(process);
  }

  Win32Desktop desktop_;
  std::map<HWND, HANDLE> windows_;  // and the process of another program's
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, DesktopContract, Win32Desk);

TEST(Win32DesktopFolder, RootFoldersKeepTheirSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Program Files\\Quorvel\\Quorvel.exe", "C:\\Program Files\\Quorvel"},
      {"C:\\Quorvel.exe", "C:\\"},
      {"\\\\server\\share\\Quorvel.exe", "\\\\server\\share"},
      {"Z:\\tmp\\b\\Q.exe", "Z:\\tmp\\b"},
      {"Quorvel.exe", ""}};
  for (const auto& [path, folder] : cases) EXPECT_EQ(FolderOfPath(path), folder) << path;
}

// A file dialog whose thread takes no messages is still known by its class and its name field; its
// captions come back empty within a moment instead of when the thread runs again.
TEST(Win32DesktopHung, AFileDialogThatDoesNotAnswerIsReadWithinAMoment) {
  const HANDLE wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::promise<HWND> made;
  std::future<HWND> dialog_made = made.get_future();
  std::thread hung([&] {
    const HWND dialog = CreateWindowExW(0, L"#32770", L"Open", WS_POPUP | WS_CAPTION, 0, 0, 300,
                                        100, nullptr, nullptr, nullptr, nullptr);
    for (const int id : {0x442, 0x480, IDOK})
      CreateWindowExW(0, L"STATIC", L"&x", WS_CHILD, 0, 0, 50, 20, dialog,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    made.set_value(dialog);
    WaitForSingleObject(wake, 10000);  // no messages taken meanwhile
    DestroyWindow(dialog);
  });
  const HWND dialog = dialog_made.get();
  Win32Desktop desktop;
  const auto start = std::chrono::steady_clock::now();
  const auto captions = desktop.FileDialog(HandleOf(dialog));
  const auto took = std::chrono::steady_clock::now() - start;
  SetEvent(wake);
  hung.join();
  CloseHandle(wake);
  ASSERT_TRUE(captions.has_value());
  EXPECT_TRUE(captions->name_label + captions->save_button == "" && took < milliseconds(2000));
}

// A delivery cut off after some events of a key lets go of exactly what those events pressed.
TEST(Win32DesktopKeys, ACutOffKeyReleasesWhatItPressed) {
  struct Case {
    Key key;
    std::size_t sent;
    std::vector<std::pair<WORD, WORD>> released;  // virtual key and scan code, in order
  };
  const WORD alt_scan = static_cast<WORD>(MapVirtualKeyW(VK_MENU, MAPVK_VK_TO_VSC));
  const WORD n_scan = static_cast<WORD>(MapVirtualKeyW('N', MAPVK_VK_TO_VSC));
  const Key chord = KeyString().Alt('n').Keys()[0];
  const Key accent = KeyString().Text("\u00e9").Keys()[0];
  const Key astral = KeyString().Text("\U0001F600").Keys()[0];
  const Case cases[] = {{chord, 0, {}},
                        {chord, 1, {{VK_MENU, alt_scan}}},
                        {chord, 2, {{'N', n_scan}, {VK_MENU, alt_scan}}},
                        {chord, 3, {{VK_MENU, alt_scan}}},
                        {chord, 4, {}},
                        {accent, 1, {{0, 0xE9}}},
                        {accent, 2, {}},
                        {astral, 1, {{0, 0xD83D}}},
                        {astral, 2, {{0, 0xDE00}, {0, 0xD83D}}},
                        {astral, 3, {{0, 0xDE00}}}};
  for (const Case& c : cases) {
    const std::vector<INPUT> inputs = KeyInputs(c.key);
    ASSERT_LE(c.sent, inputs.size());
    std::vector<std::pair<WORD, WORD>> released;
    for (const INPUT& input : ReleasesOfHeld(std::span(inputs.data(), c.sent))) {
      EXPECT_TRUE(input.ki.dwFlags & KEYEVENTF_KEYUP);
      released.emplace_back(input.ki.wVk, input.ki.wScan);
    }
    EXPECT_EQ(released, c.released) << "after " << c.sent << " of " << inputs.size() << " events";
  }
}

// The guard stops a press while the foreground is not its target's, before any window sees it.
TEST(Win32DesktopKeys, TheGuardLetsAPressGoOnlyToTheWindowInFront) {
  Win32Desk desk;
  const HWND behind = ToHwnd(desk.Open("Guarded behind", 0, false));
  const HWND front = ToHwnd(desk.Open("Guarded in front", 0, false));
  KeyGuard guard([](HWND target) { return GetForegroundWindow() == target; });
  for (const HWND target : {behind, front}) {
    const std::vector<INPUT> inputs = KeyInputs(KeyString().Text("x").Keys()[0]);
    EXPECT_EQ(guard.Send(inputs[0], target), target == front);
    guard.Send(inputs[1], target);  // a release always goes
    for (int i = 0; i < 50 && desk.Received(HandleOf(front)).empty(); ++i) {
      desk.Pump();
      std::this_thread::sleep_for(milliseconds(10));
    }
    EXPECT_EQ(desk.Received(HandleOf(front)), target == front ? "x" : "");
  }
  EXPECT_EQ(desk.Received(HandleOf(behind)), "");
}

}  // namespace
}  // namespace quorvel
