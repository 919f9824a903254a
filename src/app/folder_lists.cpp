#include "app/folder_lists.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/path_text.h"

namespace fs = std::filesystem;

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

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// True when `folder` lies in `root` or is `root` itself.
bool Contains(const fs::path& root, const fs::path& folder) {
  const fs::path relative = folder.lexically_relative(root);
  return !relative.empty() && *relative.begin() != "..";
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
    wchar_t current[MAX_PATH] = {};
    const DWORD n = GetFullPathNameW(PathOf(letter).c_str(), MAX_PATH, current, nullptr);
    drives.push_back({LowerCase(letter), root,
                      n > 0 && n < MAX_PATH ? FolderPath(TextOf(fs::path(current))) : root});
  }
  return drives;
}
#else
std::vector<Drive> MountedDrives() {
  std::ifstream mounts("/proc/mounts", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(mounts)),
                         std::istreambuf_iterator<char>());
  std::vector<Drive> drives;
  for (const std::string& point : DriveMountPoints(text)) {
    std::error_code error;
    if (fs::is_directory(point, error)) drives.push_back({point, point, point});
  }
  if (drives.empty()) drives.push_back({"/", "/", "/"});
  return drives;
}
#endif

}  // namespace

std::string WorkingFolder() {
  std::error_code error;
  const fs::path cwd = fs::current_path(error);
  return error ? std::string() : FolderPath(TextOf(cwd));
}

std::vector<std::string> DriveMountPoints(std::string_view proc_mounts) {
  std::vector<std::string> points;
  std::istringstream lines{std::string(proc_mounts)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (!(fields >> device >> point >> type)) continue;
    point = DecodeMountField(point);
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
  const fs::path target = PathOf(LowerCase(folder));
#else
  const fs::path target = PathOf(folder);
#endif
  for (std::size_t i = 0; i < drives.size(); ++i) {
#ifdef _WIN32
    const fs::path root = PathOf(LowerCase(drives[i].root));
#else
    const fs::path root = PathOf(drives[i].root);
#endif
    if (Contains(root, target) && (best < 0 || drives[i].root.size() > best_length)) {
      best = static_cast<int>(i);
      best_length = drives[i].root.size();
    }
  }
  return best;
}

std::string FolderPath(const std::string& folder) {
  std::error_code error;
  fs::path path = fs::absolute(PathOf(folder), error);
  if (error) path = PathOf(folder);
  path = path.lexically_normal();
  if (!path.has_filename() && path != path.root_path()) path = path.parent_path();
  return TextOf(path.make_preferred());
}

bool ListFolderTree(const std::string& drive_root, const std::string& open_folder,
                    std::vector<DirEntry>& entries, std::string& error) {
  const fs::path open = PathOf(FolderPath(open_folder));
  fs::path root = drive_root.empty() ? open.root_path() : PathOf(FolderPath(drive_root));
  if (!Contains(root, open)) root = open.root_path();

  std::vector<DirEntry> children;
  std::error_code code;
  fs::directory_iterator it(open, code);
  for (; !code && it != fs::directory_iterator(); it.increment(code)) {
    const std::string name = TextOf(it->path().filename());
    std::error_code kind_error;
    if (name.empty() || name[0] == '.' || !it->is_directory(kind_error)) continue;
    children.push_back({name, FolderPath(TextOf(open / PathOf(name))), 0, DirEntryKind::kChild});
  }
  if (code) {
    error = code.message();
    return false;
  }
  std::sort(children.begin(), children.end(), [](const DirEntry& a, const DirEntry& b) {
    const std::string la = LowerCase(a.caption), lb = LowerCase(b.caption);
    return la != lb ? la < lb : a.caption < b.caption;
  });

  std::vector<DirEntry> tree;
  fs::path folder = root;
  tree.push_back({FolderPath(TextOf(root)), FolderPath(TextOf(root)), 0, DirEntryKind::kAncestor});
  for (const fs::path& part : open.lexically_relative(root)) {
    if (part == "." || part.empty()) continue;
    folder /= part;
    tree.push_back({TextOf(part), FolderPath(TextOf(folder)), static_cast<int>(tree.size()),
                    DirEntryKind::kAncestor});
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
