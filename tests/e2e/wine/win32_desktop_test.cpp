// The Windows desktop port on a real (Wine) desktop: the census, activation by title, keys that
// reach only the window they are meant for, and the file system taken literally.
#include "desktop/win32_desktop.h"
#include "files/win32_file_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <utility>

#include "common/win32_text.h"
#include "desktop/win32_key_input.h"

namespace quorvel {
namespace {

using std::chrono::milliseconds;

// Pumps this thread's messages until `done` holds or the time is up.
bool WaitFor(const std::function<bool()>& done, milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(20));
  }
}

// Top-level windows of this test's own thread, with an edit field that shows what was typed.
class OwnWindow {
 public:
  explicit OwnWindow(const wchar_t* title) {
    window_ = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                              150, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 250, 24,
                            window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    // The window manager's focus for the new window arrives before the test moves it.
    WaitFor([this] { return GetForegroundWindow() == window_; }, milliseconds(5000));
  }
  ~OwnWindow() { DestroyWindow(window_); }
  HWND Handle() const { return window_; }
  void FocusEdit() const { SetFocus(edit_); }
  std::string Typed() const {
    wchar_t text[256] = L"";
    GetWindowTextW(edit_, text, 256);
    return WideToUtf8(text);
  }

 private:
  HWND window_ = nullptr, edit_ = nullptr;
};

WindowHandle HandleOf(HWND window) {
  return reinterpret_cast<std::uintptr_t>(window);
}

// Activates by title as the cycle does, once a tick until the window is in front: a request can be
// overtaken by the window manager's own focus for a window just opened.
bool Activates(Win32Desktop& desktop, const char* title, HWND expected) {
  for (int tick = 0; tick < 5; ++tick) {
    if (!desktop.AppActivate(title)) return false;
    if (WaitFor([&] { return GetForegroundWindow() == expected; }, milliseconds(1000))) return true;
  }
  return false;
}

TEST(Win32DesktopFolder, RootFoldersKeepTheirSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Program Files\\Quorvel\\Quorvel.exe", "C:\\Program Files\\Quorvel"},
      {"C:\\Quorvel.exe", "C:\\"},
      {"\\\\server\\share\\Quorvel.exe", "\\\\server\\share"},
      {"Z:\\tmp\\b\\Q.exe", "Z:\\tmp\\b"},
      {"Quorvel.exe", ""}};
  for (const auto& [path, folder] : cases) EXPECT_EQ(FolderOfPath(path), folder) << path;
}

TEST(Win32DesktopCensus, WalksFromTheProgramWindowAndReadsTitlesAsUtf8) {
  OwnWindow program(L"Quorvel census test");
  OwnWindow other(L"Quorvel census other");
  Win32Desktop desktop;
  desktop.SetProgramWindow(program.Handle());
  const std::vector<WindowHandle> windows = desktop.ListTopLevelWindows();
  for (const HWND listed : {program.Handle(), other.Handle()})
    EXPECT_NE(std::find(windows.begin(), windows.end(), HandleOf(listed)), windows.end());
  EXPECT_EQ(desktop.WindowTitle(HandleOf(program.Handle())), "Quorvel census test");
  DestroyWindow(other.Handle());
  EXPECT_EQ(desktop.WindowTitle(HandleOf(other.Handle())), "") << "a window gone has no title";
  // A title in the ANSI code page comes back as UTF-8; a code page without the letters cannot
  // show it, and the case says so.
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, 0, L"\u00e9\u00e8", -1, nullptr, 0, nullptr, &lossy);
  if (lossy) GTEST_SKIP() << "code page " << GetACP() << " has no \u00e9";
  OwnWindow accented(L"Caf\u00e9 cr\u00e8me");
  EXPECT_EQ(Win32Desktop().WindowTitle(HandleOf(accented.Handle())), "Caf\u00e9 cr\u00e8me");
}

TEST(Win32DesktopActivation, ExactTitleBeforePrefixAndAMinimisedWindowRestored) {
  OwnWindow exact(L"Save As");
  OwnWindow longer(L"Save As draft");  // opened later, so above the exact one
  Win32Desktop desktop;
  EXPECT_TRUE(Activates(desktop, "Save As", exact.Handle()));
  EXPECT_TRUE(Activates(desktop, "Save As d", longer.Handle()));
  EXPECT_FALSE(desktop.AppActivate("No such window anywhere"));
  EXPECT_FALSE(desktop.SendKeys(KeyString().Enter(), false)) << "no target after a failed search";
  // A minimised window is restored.
  OwnWindow window(L"Quorvel minimised target");
  ShowWindow(window.Handle(), SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(window.Handle()); }, milliseconds(5000)));
  ASSERT_TRUE(desktop.AppActivate("Quorvel minimised target"));
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(window.Handle()); }, milliseconds(5000)));
}

// A name is typed as it is into the window activated; once another window is in front, nothing
// goes to either.
TEST(Win32DesktopKeys, NamesAreTypedAsTheyAreAndNothingGoesWhenTheForegroundIsElsewhere) {
  OwnWindow target(L"Quorvel intended target");
  Win32Desktop desktop;
  ASSERT_TRUE(Activates(desktop, "Quorvel intended target", target.Handle()));
  target.FocusEdit();
  // Characters that key-string syntax would read as Alt, Shift, Ctrl or Enter, and ones no
  // key of the layout carries.
  const std::string name = "p%n+^~{x}(1) \u00e9\u20ac\u4e2d";
  ASSERT_TRUE(desktop.SendKeys(KeyString().Text(name), false));
  EXPECT_TRUE(WaitFor([&] { return target.Typed() == name; }, milliseconds(3000)))
      << target.Typed();
  EXPECT_FALSE(GetAsyncKeyState(VK_MENU) & 0x8000);
  OwnWindow other(L"Quorvel other window");
  ASSERT_TRUE(WaitFor(
      [&] {
        return SetForegroundWindow(other.Handle()) && GetForegroundWindow() == other.Handle();
      },
      milliseconds(5000)));
  other.FocusEdit();
  EXPECT_FALSE(desktop.SendKeys(KeyString().Alt('n').Text("abc"), false));
  // A key sent afterwards, where the focus is, arrives after anything the refused delivery sent.
  ASSERT_TRUE(desktop.AppActivate("Quorvel other window"));
  ASSERT_TRUE(desktop.SendKeys(KeyString().Text("z"), false));
  EXPECT_TRUE(WaitFor([&] { return !other.Typed().empty(); }, milliseconds(3000)));
  EXPECT_EQ(other.Typed() + "|" + target.Typed(), "z|" + name);
  EXPECT_FALSE(GetAsyncKeyState(VK_MENU) & 0x8000);
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

}  // namespace
}  // namespace quorvel
