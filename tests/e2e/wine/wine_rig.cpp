#include "wine_rig.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <future>
#include <thread>

#include "common/win32_text.h"

namespace quorvel::e2e {

std::wstring WinePath(const std::string& path) {
  std::wstring wide = Utf8ToWide(path);
  if (wide.empty() || wide[0] != L'/') return wide;
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return L"Z:" + wide;
}

Program::Program(const std::wstring& exe, const std::wstring& arguments,
                 const std::wstring& folder) {
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                 folder.empty() ? nullptr : folder.c_str(), &startup, &info_);
}

Program::~Program() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 0);
  WaitForSingleObject(info_.hProcess, 5000);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool Program::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

TempFolder::TempFolder(const std::wstring& name) {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  // Wine numbers its processes alike from run to run; the clock tells the runs apart.
  path_ = std::wstring(base) + L"quorvel-" + name + L"-" + std::to_wstring(GetCurrentProcessId()) +
          L"-" + std::to_wstring(GetTickCount64());
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW(File(found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

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

HWND ShownWindow(const wchar_t* title) {
  HWND window = FindWindowW(nullptr, title);
  return window && IsWindowVisible(window) ? window : nullptr;
}

bool WaitForWindow(const wchar_t* title, milliseconds timeout) {
  return WaitFor([&] { return ShownWindow(title) != nullptr; }, timeout);
}

bool WaitForNoWindow(const wchar_t* title, milliseconds timeout) {
  return WaitFor([&] { return ShownWindow(title) == nullptr; }, timeout);
}

std::vector<std::string> LogLines(const std::wstring& path) {
  std::ifstream in(WideToUtf8(path));  // the temporary folders are ASCII
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t space = line.find(' ');
    lines.push_back(space == std::string::npos ? line : line.substr(space + 1));
  }
  return lines;
}

std::vector<std::string> Matching(const std::vector<std::string>& lines,
                                  const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    if (line.starts_with(prefix)) out.push_back(line);
  }
  return out;
}

std::vector<std::string> KeyEvents(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    for (const char* event : {"key ", "keyup ", "char ", "syschar "}) {
      if (line.starts_with(event)) out.push_back(line);
    }
  }
  return out;
}

std::string TypedInto(const std::vector<std::string>& lines, const std::string& title) {
  std::string typed;
  const std::string prefix = "char [" + title + "] ";
  for (const std::string& line : Matching(lines, prefix)) typed += line.substr(prefix.size());
  return typed;
}

std::string Title(HWND window) {
  wchar_t title[256] = L"";
  if (window) GetWindowTextW(window, title, 256);
  return "[" + WideToUtf8(title) + "]";
}

namespace {
KeyWatch* key_watch = nullptr;
}  // namespace

KeyWatch::KeyWatch() {
  key_watch = this;
  std::promise<DWORD> started;
  thread_ = std::thread([&started] {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, OnKey, GetModuleHandleW(nullptr), 0);
    started.set_value(GetCurrentThreadId());
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
  });
  thread_id_ = started.get_future().get();
}

KeyWatch::~KeyWatch() {
  PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
  thread_.join();
  key_watch = nullptr;
}

std::vector<std::string> KeyWatch::Keys() const {
  std::lock_guard lock(mutex_);
  return keys_;
}

LRESULT CALLBACK KeyWatch::OnKey(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
    char key[16];
    std::snprintf(key, sizeof key, " vk=%02X",
                  static_cast<unsigned>(reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->vkCode));
    const std::string line = Title(GetForegroundWindow()) + key;
    std::lock_guard lock(key_watch->mutex_);
    key_watch->keys_.push_back(line);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

bool FileThere(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> SavedNames(const std::wstring& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.bmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = WideToUtf8(found.cFileName);
    names.push_back(name.substr(0, name.size() - 4));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quorvel::e2e
