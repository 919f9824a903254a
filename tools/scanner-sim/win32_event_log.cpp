#include "win32_event_log.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "common/win32_text.h"

namespace quorvel {
namespace {

FILE* log_file = nullptr;
ULONGLONG start_ms = GetTickCount64();
HHOOK hook = nullptr;

LRESULT CALLBACK OnMessage(int code, WPARAM removal, LPARAM data) {
  const auto* msg = reinterpret_cast<const MSG*>(data);
  if (code == HC_ACTION && removal == PM_REMOVE) {
    const bool alt = (msg->lParam & (1 << 29)) != 0;
    char detail[32];
    switch (msg->message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYUP: {
        const bool up = msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP;
        std::snprintf(detail, sizeof detail, " vk=%02X%s",
                      static_cast<unsigned>(msg->wParam & 0xFF), alt ? " alt" : "");
        LogEvent(up ? "keyup" : "key", RootTitle(msg->hwnd) + detail);
        break;
      }
      case WM_CHAR:
      case WM_SYSCHAR: {
        const wchar_t c = static_cast<wchar_t>(msg->wParam);
        const std::string text = c < 0x20 ? "^" + std::to_string(static_cast<int>(c))
                                          : WideToUtf8(std::wstring_view(&c, 1));
        LogEvent(msg->message == WM_SYSCHAR ? "syschar" : "char",
                 RootTitle(msg->hwnd) + " " + text);
        break;
      }
      default:
        break;
    }
  }
  return CallNextHookEx(hook, code, removal, data);
}

}  // namespace

void OpenEventLog(const std::wstring& path) {
  if (!path.empty()) log_file = _wfopen(path.c_str(), L"ab");
}

void LogEvent(std::string_view event, std::string_view detail) {
  if (!log_file) return;
  std::fprintf(log_file, "%llu %.*s %.*s\n", GetTickCount64() - start_ms,
               static_cast<int>(event.size()), event.data(), static_cast<int>(detail.size()),
               detail.data());
  std::fflush(log_file);
}

void InstallKeyLog() {
  hook = SetWindowsHookExW(WH_GETMESSAGE, OnMessage, nullptr, GetCurrentThreadId());
}

namespace {

std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments(args ? args + 1 : nullptr, args ? args + count : nullptr);
  LocalFree(args);
  return arguments;
}

}  // namespace

std::wstring OptionValue(std::wstring_view name, std::wstring_view fallback) {
  const std::vector<std::wstring> args = Arguments();
  std::wstring value(fallback);
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (name == args[i]) value = args[i + 1];
  }
  return value;
}

bool HasOption(std::wstring_view name) {
  const std::vector<std::wstring> args = Arguments();
  return std::find(args.begin(), args.end(), name) != args.end();
}

int OptionNumber(std::wstring_view name, int fallback) {
  const std::wstring text = OptionValue(name);
  return text.empty() ? fallback : static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

std::string RootTitle(HWND window) {
  const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  wchar_t title[256] = L"";
  if (root) GetWindowTextW(root, title, 256);
  return "[" + WideToUtf8(title) + "]";
}

}  // namespace quorvel
