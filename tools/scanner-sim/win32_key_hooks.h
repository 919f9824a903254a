// The keys that reach the Win32 stand-in programs and the keys that reach any other program,
// written to the event log; and their command line.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "event_log.h"

namespace quorvel {

// Logs a "key" line for every key that a window of this thread takes off its queue.
void LogOwnKeys(EventLog& log);
// Logs a "stray" line for every key pressed while the foreground window belongs to another
// program: a low-level hook on a thread of its own, which answers at once, so that no key is held
// up. Under Wine it sees the keys of every Wine program on the display.
void LogStrayKeys(EventLog& log);
// The title of the top-level window that holds `window`, as UTF-8.
std::string RootTitle(HWND window);
// The program's arguments after its name, as UTF-8.
std::vector<std::string> Arguments();

}  // namespace quorvel
