// What the end-to-end tests under Wine share: starting and ending the programs under test,
// waiting for windows, temporary folders and the stand-ins' event logs.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quorvel::e2e {

using std::chrono::milliseconds;

// A Unix path (as CTest passes it) as Wine sees it on drive Z:; a Windows path is kept.
std::wstring WinePath(const std::string& path);

// A started program, ended when it goes out of scope.
class Program {
 public:
  Program(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  bool Running() const;

 private:
  PROCESS_INFORMATION info_{};
};

// A fresh, empty folder under the temporary folder; removed with its files at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name);
  ~TempFolder();
  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Polls `done` every 20 ms until it holds or the time is up; pumps this thread's messages.
bool WaitFor(const std::function<bool()>& done, milliseconds timeout);
// A shown top-level window with exactly this title, or null.
HWND ShownWindow(const wchar_t* title);
bool WaitForWindow(const wchar_t* title, milliseconds timeout);
bool WaitForNoWindow(const wchar_t* title, milliseconds timeout);

// The lines of a stand-in's event log, "<ms> <event> <detail>", without the time.
std::vector<std::string> LogLines(const std::wstring& path);
// Lines of `lines` that begin with `prefix`.
std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& prefix);
// The key and character lines of a log: presses, releases and the characters they made.
std::vector<std::string> KeyEvents(const std::vector<std::string>& lines);
// The characters typed into windows of this title, in order, from "char [title] c" lines.
std::string TypedInto(const std::vector<std::string>& lines, const std::string& title);

// The title of a window in brackets, "[DeskScan II]"; "[]" for none.
std::string Title(HWND window);

// Every key pressed on the desktop while it lives, as "[title of the foreground window] vk=XX":
// a low-level hook on a thread of its own, which answers at once, so the keys are not held up.
// Only one lives at a time: the hook reaches it through a global.
class KeyWatch {
 public:
  KeyWatch();
  ~KeyWatch();
  KeyWatch(const KeyWatch&) = delete;
  KeyWatch& operator=(const KeyWatch&) = delete;
  std::vector<std::string> Keys() const;

 private:
  static LRESULT CALLBACK OnKey(int code, WPARAM message, LPARAM data);
  mutable std::mutex mutex_;
  std::vector<std::string> keys_;
  DWORD thread_id_ = 0;
  std::thread thread_;
};

bool FileThere(const std::wstring& path);
// The names of the .bmp files of a folder, sorted, without ".bmp".
std::vector<std::string> SavedNames(const std::wstring& folder);

}  // namespace quorvel::e2e
