// A file system that exists only in memory, for the simulated desktop: its files are stamped with
// the simulated time, its folders and drives are what a test sets up, a write can be made to
// fail, a folder to stop answering and the disk to fill.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "files/file_system.h"

namespace quorvel {

class MemoryFileSystem : public FileSystem {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;
  // Files are stamped with `now()`; the program lives in `program_folder`, which is also the
  // working folder at first.
  MemoryFileSystem(Clock now, std::string program_folder);

  // A folder and the folders above it.
  void AddFolder(const std::string& path);
  // A file as it stands, written now unless a time is given.
  void PutFile(const std::string& path, std::string content);
  void PutFile(const std::string& path, std::string content,
               std::chrono::system_clock::time_point written);
  // Folders that cannot be listed and files that cannot be read or replaced, with the reason.
  void Refuse(const std::string& path, std::string reason) { refused_[path] = std::move(reason); }
  void SetDrives(std::vector<Drive> drives) { drives_ = std::move(drives); }
  void SetCurrentFolder(std::string folder) { current_ = std::move(folder); }
  // Where UserSettingsFolder puts the folders of programs; "" for a system that names none.
  void SetUserFolders(std::string folder) { user_folders_ = std::move(folder); }
  // Files written from now on are stamped this far from now(): a file server whose clock is behind
  // (negative) or ahead of this computer's.
  void SetClockOffset(std::chrono::seconds offset) { clock_offset_ = offset; }

  // Calls into `folder` and below answer "no answer", as they do through a TimeLimitedFileSystem
  // while a share hangs; "" ends the hang.
  void Hang(std::string folder) { hung_ = std::move(folder); }
  // The files in `folder` and below take this many bytes at most; nothing: no limit. Like a disk
  // with less room than a page but some, it still takes lines added to a file.
  void SetCapacity(std::string folder, std::optional<std::uintmax_t> bytes) {
    disk_ = std::move(folder);
    capacity_ = bytes;
  }

  // What a file holds; nothing when there is none.
  std::optional<std::string> Contents(const std::string& path) const;
  // Every path asked about with Facts, in order.
  const std::vector<std::string>& FilesLookedFor() const { return looked_for_; }

  // FileSystem.
  std::optional<FileFacts> Facts(const std::string& path) override;
  std::optional<std::string> Read(const std::string& path, std::size_t max_bytes,
                                  std::string& error) override;
  bool Replace(const std::string& path, std::string_view text, std::string& error) override;
  bool Append(const std::string& path, std::string_view text, std::string& error) override;
  bool Remove(const std::string& path) override;
  std::string ProgramFolder() override { return program_folder_; }
  std::string CurrentFolder() override { return current_; }
  std::string AbsoluteFolder(const std::string& folder) override;
  bool IsFolder(const std::string& path) override { return !Hung(path) && folders_.contains(path); }
  bool Subfolders(const std::string& folder, std::vector<std::string>& names,
                  std::string& error) override;
  std::vector<Drive> Drives() override { return drives_; }
  bool CanWriteIn(const std::string& folder) override {
    return !Hung(folder) && folders_.contains(folder) && !refused_.contains(folder);
  }
  std::string UserSettingsFolder(std::string_view name) override;
  bool MakeFolder(const std::string& folder, std::string& error) override;
  std::optional<std::uintmax_t> FreeBytes(const std::string& folder) override;
  bool NoAnswer() const override { return no_answer_; }

 private:
  struct File {
    std::string content;
    std::chrono::system_clock::time_point written;
    std::uint64_t identity = 0;
  };
  bool Refused(const std::string& path, std::string& error) const;
  // Whether the call on `path` gets no answer; says so in `error`.
  bool Hung(const std::string& path, std::string& error);
  bool Hung(const std::string& path) {
    std::string error;
    return Hung(path, error);
  }
  bool OnDisk(const std::string& path) const {
    return capacity_ && (path == disk_ || path.starts_with(disk_ + kPathSeparator));
  }
  // Whether `more` bytes fit on the disk of `path`; says why not in `error`.
  bool Fits(const std::string& path, std::uintmax_t more, std::string& error) const;
  std::uintmax_t Used() const;

  Clock now_;
  std::chrono::seconds clock_offset_{0};
  std::string program_folder_;
  std::string current_;
  std::string user_folders_;
  std::map<std::string, File> files_;
  std::set<std::string> folders_;
  std::map<std::string, std::string> refused_;
  std::vector<Drive> drives_;
  std::vector<std::string> looked_for_;
  std::string hung_;
  bool no_answer_ = false;
  std::string disk_;
  std::optional<std::uintmax_t> capacity_;
  std::uint64_t files_made_ = 0;
};

}  // namespace quorvel
