// The few questions the picker asks of the file system, in UTF-8 paths. On Windows they go to
// the system's own calls (which keeps the program small: no C++ file system library, no
// streams); elsewhere to the C++ file system library.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

// Absolute, "." and ".." resolved, separators the system's own. "" when it cannot be made.
std::string AbsoluteFolder(const std::string& folder);
// The program's current working folder; "" when it cannot be told.
std::string CurrentFolder();
bool IsFolder(const std::string& path);
// The names of the folder's subfolders. False, with the system's reason, when it cannot be read.
bool Subfolders(const std::string& folder, std::vector<std::string>& names, std::string& error);

}  // namespace quorvel
