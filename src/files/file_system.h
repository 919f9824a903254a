// What the logic needs of the file system: facts about a file, whole reads, atomic replaces, and
// the folders and drives the save-folder picker shows. Paths are UTF-8. Realised for POSIX and
// Win32 here, and in memory for tests; one suite of tests holds each to this contract.
// Where the realisations differ, as the contract allows:
// - Drives: the logical drives on Windows, each opened at its own current folder; the mount points
//   of a mount table elsewhere (escapes such as "\040" decoded), each opened at its root; in
//   memory, those a test sets.
// - A folder that cannot be read: the system's access rules decide; the POSIX superuser reads
//   every folder. In memory, the folders a test refuses.
// - Error texts are the system's own words.
#pragma once

#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr bool kPathsIgnoreCase = true;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr bool kPathsIgnoreCase = false;
#endif

// What a call says in `error` when the file system gave no answer in time.
inline constexpr std::string_view kNoAnswer = "no answer in time";

struct FileFacts {
  std::uintmax_t size = 0;
  // At the finest resolution the system keeps.
  std::chrono::system_clock::time_point written;
  // Which file this is on its disk (the inode, the file index); 0 when the system does not say.
  std::uint64_t identity = 0;
  bool operator==(const FileFacts&) const = default;
};

struct Drive {
  std::string name;            // as the drive list shows it: "c:" or "/media/usb"
  std::string root;            // "C:\" or "/media/usb"
  std::string current_folder;  // the folder the directory list opens on this drive
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Size and time of last writing of a regular file; nothing when there is none. The path is
  // taken literally: no wildcards.
  virtual std::optional<FileFacts> Facts(const std::string& path) = 0;
  bool FileExists(const std::string& path) { return Facts(path).has_value(); }
  // The first `max_bytes` of the file (all of it when shorter), or nothing with `error` saying
  // why.
  virtual std::optional<std::string> Read(const std::string& path, std::size_t max_bytes,
                                          std::string& error) = 0;
  std::optional<std::string> ReadWhole(const std::string& path, std::string& error) {
    return Read(path, std::numeric_limits<std::size_t>::max(), error);
  }
  // Puts `text` in place of the file at `path`: written beside it, handed to the disk, then put
  // in its place in one step. False, with `error` saying why: the file at `path` is then as it
  // was, and nothing of the attempt is left behind.
  virtual bool Replace(const std::string& path, std::string_view text, std::string& error) = 0;
  // Adds `text` at the end of the file (made when missing) in one write, and hands it to the disk
  // before returning. False, with `error` saying why.
  virtual bool Append(const std::string& path, std::string_view text, std::string& error) = 0;
  // Deletes the file; false when it is still there afterwards.
  virtual bool Remove(const std::string& path) = 0;

  // The program's folder, without a trailing separator except for a root folder.
  virtual std::string ProgramFolder() = 0;
  // The program's current working folder; "" when it cannot be told.
  virtual std::string CurrentFolder() = 0;
  // Absolute, "." and ".." resolved, separators the system's own; "" when it cannot be made.
  virtual std::string AbsoluteFolder(const std::string& folder) = 0;
  virtual bool IsFolder(const std::string& path) = 0;
  // The names of the folder's subfolders. False, with the system's reason, when it cannot be read.
  virtual bool Subfolders(const std::string& folder, std::vector<std::string>& names,
                          std::string& error) = 0;
  // The drives, in the order the drive list shows them: the logical drives on Windows, the
  // mounted file systems elsewhere, each named by its mount point.
  virtual std::vector<Drive> Drives() = 0;

  // Whether this program may make files in the folder.
  virtual bool CanWriteIn(const std::string& folder) = 0;
  // The folder where this user's settings of the program `name` belong: %APPDATA%\<name> on
  // Windows; $XDG_CONFIG_HOME/<name in lower case>, else ~/.config/<name in lower case>,
  // elsewhere. "" when the system names no such place.
  virtual std::string UserSettingsFolder(std::string_view name) = 0;
  // Makes the folder, and the folders above it, where missing. False, with `error` saying why,
  // when it is not there afterwards.
  virtual bool MakeFolder(const std::string& folder, std::string& error) = 0;
  // The bytes this program may still write on the disk that holds `folder`; nothing when it
  // cannot be told.
  virtual std::optional<std::uintmax_t> FreeBytes(const std::string& folder) = 0;

  // Whether the last call got no answer in time: its result then tells nothing about the disk
  // (no facts, false, nothing, or `error` saying kNoAnswer). Only a file system that limits the
  // time of its calls says so.
  virtual bool NoAnswer() const { return false; }
};

// The temporary file a replace of `path` goes through.
inline std::string TemporaryPathFor(const std::string& path) {
  return path + ".tmp";
}

}  // namespace quorvel
