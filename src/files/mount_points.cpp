#include "files/mount_points.h"

#include <algorithm>
#include <iterator>

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

}  // namespace

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

}  // namespace quorvel
