// What the save-folder picker's drive list and directory list show, read through the file
// system port.
#pragma once

#include <string>
#include <vector>

#include "files/file_system.h"

namespace quorvel {

// The drives of this machine, in the order the drive list shows them; the drive that holds the
// working folder opens on it.
std::vector<Drive> ListDrives(FileSystem& files);

// The program's current working folder as FolderPath gives it; empty when it cannot be told.
std::string WorkingFolder(FileSystem& files);

// The index of the drive that holds `folder` (the longest root that contains it), or -1.
int DriveOf(FileSystem& files, const std::vector<Drive>& drives, const std::string& folder);

// The folder as a result path: absolute and normalised, without a separator at its end except
// for a root folder ("C:\", "/").
std::string FolderPath(FileSystem& files, const std::string& folder);

enum class DirEntryKind { kAncestor, kOpen, kChild };

struct DirEntry {
  std::string caption;  // the root as a path, every other folder by its own name
  std::string path;     // full path, as FolderPath gives it
  int depth;            // indentation: 0 for the drive's root
  DirEntryKind kind;
};

// The directory list of `open_folder` on a drive whose root is `drive_root`: the drive's root
// and each folder down to the open one, then the open folder's subfolders in name order
// (ignoring case, hidden folders left out). False when the open folder cannot be read; the
// entries are then untouched.
bool ListFolderTree(FileSystem& files, const std::string& drive_root,
                    const std::string& open_folder, std::vector<DirEntry>& entries,
                    std::string& error);

}  // namespace quorvel
