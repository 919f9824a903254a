#include "app/folder_lists.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

#ifdef _WIN32
#include <windows.h>

#include "common/win32_text.h"
#endif

#include "app/folder_system.h"

namespace quorvel {
namespace {

// File systems that hold no folders of the operator's: the kernel's views and its plumbing.
constexpr std::string_view kPseudoFileSystems[] = {
    "autofs", "binfmt_misc", "bpf",        "cgroup",     "cgroup2",   "configfs", "debugfs",
    "devpts", "devtmpfs",    "efivarfs",   "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
    "proc",   "pstore",      "rpc_pipefs", "securityfs", "selinuxfs", "sysfs",    "tracefs"};
constexpr std::string_view kSystemTrees[] = {"/proc", "/sys", "/dev"};

bool IsUnder(std::string_view path, std::string_view tree) {
  return path == tree || (path.size() > tree.size() && path.substr(0, tree.size()) == tree &&
                          path[tree.size()] == '/');
}

// "\040" and its kind stand for the blank, tab, newline and backslash in a mount point.
std::string DecodeMountField(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string_view octal = field.substr(i + 1, 3);
      if (std::all_of(octal.begin(), octal.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out.push_back(
            static_cast<char>((octal[0] - '0') * 64 + (octal[1] - '0') * 8 + (octal[2] - '0')));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

// The blank-separated fields of a line.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t begin = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > begin) fields.push_back(line.substr(begin, i - begin));
  }
  return fields;
}

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// True when `folder` lies in `root` or is `root` itself; both as FolderPath gives them.
bool Contains(const std::string& root, const std::string& folder) {
  if (folder.compare(0, root.size(), root) != 0) return false;
  return folder.size() == root.size() || root.back() == kSeparator ||
         folder[root.size()] == kSeparator;
}

// The root folder of an absolute path: "/", "C:\", or "\\server\share\".
std::string RootOf(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':') return path.substr(0, 3);
  if (path.size() >= 2 && path[0] == kSeparator && path[1] == kSeparator) {
    const std::size_t share = path.find(kSeparator, 2);
    const std::size_t end = share == std::string::npos ? share : path.find(kSeparator, share + 1);
    return end == std::string::npos ? path + kSeparator : path.substr(0, end + 1);
  }
  return std::string(1, kSeparator);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.back() == kSeparator ? folder + name : folder + kSeparator + name;
}

#ifdef _WIN32
std::vector<Drive> LogicalDrives() {
  // A drive without a medium must not bring up the system's "insert a disk" box.
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
  char buffer[512] = {};
  const DWORD length = GetLogicalDriveStringsA(sizeof buffer - 1, buffer);
  std::vector<Drive> drives;
  for (const char* p = buffer; length > 0 && length < sizeof buffer && *p != '\0';
       p += std::char_traits<char>::length(p) + 1) {
    const std::string root = p;  // "C:\"
    const std::string letter = root.substr(0, 2);
    const std::string current = AbsoluteFolder(letter);  // the drive's current folder
    drives.push_back({LowerCase(letter), root, current.empty() ? root : FolderPath(current)});
  }
  return drives;
}
#else
std::vector<Drive> MountedDrives() {
  std::string text;
  if (std::FILE* mounts = std::fopen("/proc/mounts", "rb")) {
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, mounts)) > 0) text.append(buffer, got);
    std::fclose(mounts);
  }
  std::vector<Drive> drives;
  for (const std::string& point : DriveMountPoints(text)) {
    if (IsFolder(point)) drives.push_back({point, point, point});
  }
  if (drives.empty()) drives.push_back({"/", "/", "/"});
  return drives;
}
#endif

}  // namespace

std::string WorkingFolder() {
  const std::string cwd = CurrentFolder();
  return cwd.empty() ? cwd : FolderPath(cwd);
}

std::vector<std::string> DriveMountPoints(std::string_view proc_mounts) {
  std::vector<std::string> points;
  std::size_t start = 0;
  while (start < proc_mounts.size()) {
    const std::size_t end = std::min(proc_mounts.find('\n', start), proc_mounts.size());
    const std::vector<std::string_view> fields = Fields(proc_mounts.substr(start, end - start));
    start = end + 1;
    if (fields.size() < 3) continue;
    const std::string_view type = fields[2];
    std::string point = DecodeMountField(fields[1]);
    if (point.empty() || point[0] != '/') continue;
    if (std::find(std::begin(kPseudoFileSystems), std::end(kPseudoFileSystems), type) !=
        std::end(kPseudoFileSystems)) {
      continue;
    }
    if (std::any_of(std::begin(kSystemTrees), std::end(kSystemTrees),
                    [&](std::string_view tree) { return IsUnder(point, tree); })) {
      continue;
    }
    points.push_back(point);
  }
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  return points;
}

std::vector<Drive> ListDrives() {
#ifdef _WIN32
  std::vector<Drive> drives = LogicalDrives();
#else
  std::vector<Drive> drives = MountedDrives();
#endif
  // The drive that holds the working folder opens there, as the system keeps it.
  const std::string cwd = WorkingFolder();
  const int holder = DriveOf(drives, cwd);
#ifndef _WIN32
  if (holder >= 0) drives[holder].current_folder = cwd;
#else
  (void)holder;
#endif
  return drives;
}

int DriveOf(const std::vector<Drive>& drives, const std::string& folder) {
  if (folder.empty()) return -1;
  int best = -1;
  std::size_t best_length = 0;
#ifdef _WIN32
  const std::string target = LowerCase(FolderPath(folder));
#else
  const std::string target = FolderPath(folder);
#endif
  for (std::size_t i = 0; i < drives.size(); ++i) {
#ifdef _WIN32
    const std::string root = LowerCase(FolderPath(drives[i].root));
#else
    const std::string root = FolderPath(drives[i].root);
#endif
    if (Contains(root, target) && (best < 0 || drives[i].root.size() > best_length)) {
      best = static_cast<int>(i);
      best_length = drives[i].root.size();
    }
  }
  return best;
}

std::string FolderPath(const std::string& folder) {
  std::string path = AbsoluteFolder(folder);
  if (path.empty()) path = folder;
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', kSeparator);
#endif
  while (path.size() > RootOf(path).size() && path.back() == kSeparator) path.pop_back();
  return path;
}

bool ListFolderTree(const std::string& drive_root, const std::string& open_folder,
                    std::vector<DirEntry>& entries, std::string& error) {
  const std::string open = FolderPath(open_folder);
  std::string root = drive_root.empty() ? RootOf(open) : FolderPath(drive_root);
  if (!Contains(root, open)) root = RootOf(open);

  std::vector<std::string> names;
  if (!Subfolders(open, names, error)) return false;
  std::vector<DirEntry> children;
  for (const std::string& name : names) {
    if (name.empty() || name[0] == '.') continue;
    children.push_back({name, FolderPath(Join(open, name)), 0, DirEntryKind::kChild});
  }
  std::sort(children.begin(), children.end(), [](const DirEntry& a, const DirEntry& b) {
    const std::string la = LowerCase(a.caption), lb = LowerCase(b.caption);
    return la != lb ? la < lb : a.caption < b.caption;
  });

  std::vector<DirEntry> tree;
  std::string folder = root;
  tree.push_back({root, root, 0, DirEntryKind::kAncestor});
  std::size_t start = root.size();
  while (start < open.size()) {
    if (open[start] == kSeparator) {
      ++start;
      continue;
    }
    const std::size_t end = std::min(open.find(kSeparator, start), open.size());
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
