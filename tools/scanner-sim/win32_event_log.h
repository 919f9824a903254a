// The key and event log of the Win32 stand-in programs: one line per event, "<ms> <event>
// <detail>", with the milliseconds since the program started. Every key and character that any
// window of the program's thread takes off its queue is logged with the title of its top-level
// window, so a test can tell exactly which window received what.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quorvel {

// Opens (appends to) the log; an empty path logs nothing.
void OpenEventLog(const std::wstring& path);
void LogEvent(std::string_view event, std::string_view detail = {});
// Logs "key" and "keyup" (virtual key, Alt state) and "char" (the character) lines for this
// thread.
void InstallKeyLog();

// The program's command line options: "--name value" pairs.
std::wstring OptionValue(std::wstring_view name, std::wstring_view fallback = {});
int OptionNumber(std::wstring_view name, int fallback);
// A switch without a value: true when the command line holds it.
bool HasOption(std::wstring_view name);
// The title of the top-level window that holds `window`, as UTF-8.
std::string RootTitle(HWND window);

}  // namespace quorvel
