#include "win32_key_hooks.h"

#include <shellapi.h>

#include <cstdio>
#include <future>
#include <optional>
#include <thread>

#include "common/win32_text.h"

namespace quorvel {
namespace {

EventLog* own_log = nullptr;
EventLog* stray_log = nullptr;

// A message of the queue as a key of the key model: Enter, Tab and Alt chords as they go down,
// the rest as the characters they make.
std::optional<Key> KeyOf(const MSG& msg) {
  const auto code = static_cast<char32_t>(msg.wParam);
  if (msg.message == WM_CHAR && code >= 0x20) return Key{Key::Kind::kCharacter, code};
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return std::nullopt;
  if (code == VK_RETURN) return Key{Key::Kind::kEnter, U'\r'};
  if (code == VK_TAB) return Key{Key::Kind::kTab, U'\t'};
  if (msg.message == WM_SYSKEYDOWN && code >= 'A' && code <= 'Z') {
    return Key{Key::Kind::kAltChord, code - U'A' + U'a'};
  }
  return std::nullopt;
}

LRESULT CALLBACK OnMessage(int code, WPARAM removal, LPARAM data) {
  const auto* msg = reinterpret_cast<const MSG*>(data);
  if (code == HC_ACTION && removal == PM_REMOVE) {
    if (const std::optional<Key> key = KeyOf(*msg)) {
      own_log->Line("key", RootTitle(msg->hwnd), SpellKey(*key));
    }
  }
  return CallNextHookEx(nullptr, code, removal, data);
}

LRESULT CALLBACK OnAnyKey(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
    const HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    if (process != GetCurrentProcessId()) {
      char key[16];
      std::snprintf(key, sizeof key, "{vk %02X}",
                    static_cast<unsigned>(reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->vkCode));
      stray_log->Line("stray", RootTitle(foreground), key);
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

}  // namespace

void LogOwnKeys(EventLog& log) {
  own_log = &log;
  SetWindowsHookExW(WH_GETMESSAGE, OnMessage, nullptr, GetCurrentThreadId());
}

void LogStrayKeys(EventLog& log) {
  stray_log = &log;
  std::promise<void> hooked;
  std::future<void> ready = hooked.get_future();
  std::thread([hooked = std::move(hooked)]() mutable {
    SetWindowsHookExW(WH_KEYBOARD_LL, OnAnyKey, GetModuleHandleW(nullptr), 0);
    hooked.set_value();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  }).detach();
  ready.wait();
}

std::string RootTitle(HWND window) {
  const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  wchar_t title[256] = L"";
  if (root) GetWindowTextW(root, title, 256);
  return WideToUtf8(title);
}

std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; args != nullptr && i < count; ++i) arguments.push_back(WideToUtf8(args[i]));
  LocalFree(args);
  return arguments;
}

}  // namespace quorvel
