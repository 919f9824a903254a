#include "sim/memory_file_system.h"

#include <algorithm>

namespace quorvel {
namespace {

// The folder that holds `path`; "" for a root.
std::string Parent(const std::string& path) {
  const std::size_t last = path.find_last_of(kPathSeparator);
  if (last == std::string::npos || last + 1 == path.size()) return {};
  return last == 0 || (last == 2 && path[1] == ':') ? path.substr(0, last + 1)
                                                    : path.substr(0, last);
}

bool IsAbsolute(const std::string& path) {
  return path.starts_with(kPathSeparator) || (path.size() >= 3 && path[1] == ':');
}

}  // namespace

MemoryFileSystem::MemoryFileSystem(Clock now, std::string program_folder)
    : now_(std::move(now)),
      program_folder_(std::move(program_folder)),
      current_(program_folder_),
      user_folders_(std::string(1, kPathSeparator) + "users") {
  AddFolder(program_folder_);
}

void MemoryFileSystem::AddFolder(const std::string& path) {
  for (std::string folder = path; !folder.empty(); folder = Parent(folder)) {
    if (!folders_.insert(folder).second) break;
  }
}

void MemoryFileSystem::PutFile(const std::string& path, std::string content) {
  PutFile(path, std::move(content), now_() + clock_offset_);
}

void MemoryFileSystem::PutFile(const std::string& path, std::string content,
                               std::chrono::system_clock::time_point written) {
  files_[path] = {std::move(content), written, ++files_made_};
}

std::optional<std::string> MemoryFileSystem::Contents(const std::string& path) const {
  const auto file = files_.find(path);
  if (file == files_.end()) return std::nullopt;
  return file->second.content;
}

bool MemoryFileSystem::Hung(const std::string& path, std::string& error) {
  no_answer_ = !hung_.empty() && (path == hung_ || path.starts_with(hung_ + kPathSeparator));
  if (no_answer_) error = kNoAnswer;
  return no_answer_;
}

std::uintmax_t MemoryFileSystem::Used() const {
  std::uintmax_t used = 0;
  for (const auto& [path, file] : files_) used += OnDisk(path) ? file.content.size() : 0;
  return used;
}

bool MemoryFileSystem::Fits(const std::string& path, std::uintmax_t more,
                            std::string& error) const {
  if (!OnDisk(path) || Used() + more <= *capacity_) return true;
  error = "No space left on device";
  return false;
}

std::optional<std::uintmax_t> MemoryFileSystem::FreeBytes(const std::string& folder) {
  std::string error;
  if (Hung(folder, error) || !OnDisk(folder)) return std::nullopt;
  return *capacity_ - std::min(*capacity_, Used());
}

bool MemoryFileSystem::Refused(const std::string& path, std::string& error) const {
  const auto refused = refused_.find(path);
  if (refused == refused_.end()) return false;
  error = refused->second;
  return true;
}

std::optional<FileFacts> MemoryFileSystem::Facts(const std::string& path) {
  looked_for_.push_back(path);
  const auto file = files_.find(path);
  if (Hung(path) || file == files_.end()) return std::nullopt;
  return FileFacts{file->second.content.size(), file->second.written, file->second.identity};
}

std::optional<std::string> MemoryFileSystem::Read(const std::string& path, std::size_t max_bytes,
                                                  std::string& error) {
  if (Hung(path, error) || Refused(path, error)) return std::nullopt;
  const auto file = files_.find(path);
  if (file == files_.end()) {
    error = "No such file or directory";
    return std::nullopt;
  }
  return file->second.content.substr(0, max_bytes);
}

bool MemoryFileSystem::Replace(const std::string& path, std::string_view text, std::string& error) {
  if (Hung(path, error) || Refused(path, error) || Refused(Parent(path), error)) return false;
  if (folders_.contains(path) || folders_.contains(TemporaryPathFor(path))) {
    error = "Is a directory";
    return false;
  }
  if (!folders_.contains(Parent(path))) {
    error = "No such file or directory";
    return false;
  }
  const auto old = files_.find(path);
  if (!Fits(
          path,
          text.size() - std::min(text.size(), old == files_.end() ? 0 : old->second.content.size()),
          error)) {
    return false;
  }
  PutFile(path, std::string(text));
  return true;
}

bool MemoryFileSystem::Append(const std::string& path, std::string_view text, std::string& error) {
  if (Hung(path, error) || Refused(path, error) || Refused(Parent(path), error)) return false;
  if (folders_.contains(path)) {
    error = "Is a directory";
    return false;
  }
  if (!folders_.contains(Parent(path))) {
    error = "No such file or directory";
    return false;
  }
  if (!files_.contains(path)) files_[path].identity = ++files_made_;
  File& file = files_[path];
  file.content.append(text);
  file.written = now_() + clock_offset_;
  return true;
}

bool MemoryFileSystem::Remove(const std::string& path) {
  if (Hung(path)) return false;
  files_.erase(path);
  return true;
}

std::string MemoryFileSystem::AbsoluteFolder(const std::string& folder) {
  const std::string path =
      IsAbsolute(folder) ? folder : current_ + kPathSeparator + (folder.empty() ? "." : folder);
  // "." and ".." resolved, one separator between names.
  std::vector<std::string> names;
  std::size_t start =
      path.find_first_not_of(kPathSeparator, IsAbsolute(path) && path[1] == ':' ? 3 : 0);
  while (start != std::string::npos && start < path.size()) {
    const std::size_t end = std::min(path.find(kPathSeparator, start), path.size());
    const std::string name = path.substr(start, end - start);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (name != ".") {
      names.push_back(name);
    }
    start = path.find_first_not_of(kPathSeparator, end);
  }
  std::string absolute = path[1] == ':' ? path.substr(0, 3) : std::string(1, kPathSeparator);
  for (std::size_t i = 0; i < names.size(); ++i) {
    absolute += (i == 0 ? "" : std::string(1, kPathSeparator)) + names[i];
  }
  return absolute;
}

bool MemoryFileSystem::Subfolders(const std::string& folder, std::vector<std::string>& names,
                                  std::string& error) {
  if (Hung(folder, error) || Refused(folder, error)) return false;
  if (!folders_.contains(folder)) {
    error = "No such file or directory";
    return false;
  }
  for (const std::string& path : folders_) {
    if (path != folder && Parent(path) == folder) {
      names.push_back(path.substr(path.find_last_of(kPathSeparator) + 1));
    }
  }
  return true;
}

std::string MemoryFileSystem::UserSettingsFolder(std::string_view name) {
  return user_folders_.empty() ? std::string() : user_folders_ + kPathSeparator + std::string(name);
}

bool MemoryFileSystem::MakeFolder(const std::string& folder, std::string& error) {
  if (Hung(folder, error)) return false;
  // The first folder to be made goes into the nearest one that is there.
  std::string there = folder;
  while (!there.empty() && !folders_.contains(there)) there = Parent(there);
  if (there == folder) return true;
  if (Refused(there, error)) return false;
  for (std::string path = folder; path != there; path = Parent(path)) {
    if (files_.contains(path)) {
      error = "Not a directory";  // a file stands where a folder should
      return false;
    }
  }
  AddFolder(folder);
  return true;
}

}  // namespace quorvel
