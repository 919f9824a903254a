// What the save-folder picker's drive list and directory list show, read from the file system.
// On Windows the drives are the logical drives; elsewhere the mounted file systems stand in for
// them, each named by its mount point.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

struct Drive {
  std::string name;            // as the drive list shows it: "c:" or "/media/usb"
  std::string root;            // "C:\" or "/media/usb"
  std::string current_folder;  // the folder the directory list opens on this drive
};

// The drives of this machine, in the order the drive list shows them.
std::vector<Drive> ListDrives();

// The mounted file systems of a /proc/mounts text that stand in for drives: kernel and
// pseudo file systems left out, each mount point once, sorted. Mount points are taken as
// written there, escapes ("\040" for a blank) decoded.
std::vector<std::string> DriveMountPoints(std::string_view proc_mounts);

// The program's current working folder as FolderPath gives it; empty when it cannot be told.
std::string WorkingFolder();

// The index of the drive that holds `folder` (the longest root that contains it), or -1.
int DriveOf(const std::vector<Drive>& drives, const std::string& folder);

// The folder as a result path: absolute and normalised, without a separator at its end except
// for a root folder ("C:\", "/").
std::string FolderPath(const std::string& folder);

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
bool ListFolderTree(const std::string& drive_root, const std::string& open_folder,
                    std::vector<DirEntry>& entries, std::string& error);

}  // namespace quorvel
