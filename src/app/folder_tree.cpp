#include "app/folder_tree.h"

#include <algorithm>

#include "common/ascii.h"

namespace quorvel {
namespace {

// Paths compare as the file system compares them.
std::string Comparable(const std::string& path) {
  return kPathsIgnoreCase ? LowerAscii(path) : path;
}

// True when `folder` lies in `root` or is `root` itself; both as FolderPath gives them.
bool Contains(const std::string& root, const std::string& folder) {
  if (folder.compare(0, root.size(), root) != 0) return false;
  return folder.size() == root.size() || root.back() == kPathSeparator ||
         folder[root.size()] == kPathSeparator;
}

// The root folder of an absolute path: "/", "C:\", or "\\server\share\".
std::string RootOf(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':') return path.substr(0, 3);
  if (path.size() >= 2 && path[0] == kPathSeparator && path[1] == kPathSeparator) {
    const std::size_t share = path.find(kPathSeparator, 2);
    const std::size_t end =
        share == std::string::npos ? share : path.find(kPathSeparator, share + 1);
    return end == std::string::npos ? path + kPathSeparator : path.substr(0, end + 1);
  }
  return std::string(1, kPathSeparator);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.back() == kPathSeparator ? folder + name : folder + kPathSeparator + name;
}

}  // namespace

std::vector<Drive> ListDrives(FileSystem& files) {
  std::vector<Drive> drives = files.Drives();
  for (Drive& drive : drives) drive.current_folder = FolderPath(files, drive.current_folder);
  const std::string cwd = WorkingFolder(files);
  if (const int holder = DriveOf(files, drives, cwd); holder >= 0) {
    drives[holder].current_folder = cwd;
  }
  return drives;
}

std::string WorkingFolder(FileSystem& files) {
  const std::string cwd = files.CurrentFolder();
  return cwd.empty() ? cwd : FolderPath(files, cwd);
}

int DriveOf(FileSystem& files, const std::vector<Drive>& drives, const std::string& folder) {
  if (folder.empty()) return -1;
  int best = -1;
  std::size_t best_length = 0;
  const std::string target = Comparable(FolderPath(files, folder));
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const std::string root = Comparable(FolderPath(files, drives[i].root));
    if (Contains(root, target) && (best < 0 || drives[i].root.size() > best_length)) {
      best = static_cast<int>(i);
      best_length = drives[i].root.size();
    }
  }
  return best;
}

std::string FolderPath(FileSystem& files, const std::string& folder) {
  std::string path = files.AbsoluteFolder(folder);
  if (path.empty()) path = folder;
  if (kPathSeparator != '/') std::replace(path.begin(), path.end(), '/', kPathSeparator);
  while (path.size() > RootOf(path).size() && path.back() == kPathSeparator) path.pop_back();
  return path;
}

bool ListFolderTree(FileSystem& files, const std::string& drive_root,
                    const std::string& open_folder, std::vector<DirEntry>& entries,
                    std::string& error) {
  const std::string open = FolderPath(files, open_folder);
  std::string root = drive_root.empty() ? RootOf(open) : FolderPath(files, drive_root);
  if (!Contains(root, open)) root = RootOf(open);

  std::vector<std::string> names;
  if (!files.Subfolders(open, names, error)) return false;
  std::vector<DirEntry> children;
  for (const std::string& name : names) {
    if (name.empty() || name[0] == '.') continue;
    children.push_back({name, FolderPath(files, Join(open, name)), 0, DirEntryKind::kChild});
  }
  std::sort(children.begin(), children.end(), [](const DirEntry& a, const DirEntry& b) {
    const std::string la = LowerAscii(a.caption), lb = LowerAscii(b.caption);
    return la != lb ? la < lb : a.caption < b.caption;
  });

  std::vector<DirEntry> tree;
  std::string folder = root;
  tree.push_back({root, root, 0, DirEntryKind::kAncestor});
  std::size_t start = root.size();
  while (start < open.size()) {
    if (open[start] == kPathSeparator) {
      ++start;
      continue;
    }
    const std::size_t end = std::min(open.find(kPathSeparator, start), open.size());
    const std::string part = open.substr(start, end - start);
    folder = Join(folder, part);
    tree.push_back({part, folder, static_cast<int>(tree.size()), DirEntryKind::kAncestor});
    start = end;
  }
  tree.back().kind = DirEntryKind::kOpen;
  const int child_depth = static_cast<int>(tree.size());
  for (DirEntry& child : children) {
    child.depth = child_depth;
    tree.push_back(std::move(child));
  }
  entries = std::move(tree);
  return true;
}

}  // namespace quorvel
