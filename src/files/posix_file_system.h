// The file system port on POSIX systems, through the C library and the C++ file system library.
#pragma once

#include <string>
#include <utility>

#include "files/file_system.h"

namespace quorvel {

class PosixFileSystem : public FileSystem {
 public:
  // The drives are the mounted file systems of the table at `mounts`, the system's own by default.
  PosixFileSystem() = default;
  explicit PosixFileSystem(std::string mounts) : mounts_(std::move(mounts)) {}

  std::optional<FileFacts> Facts(const std::string& path) override;
  std::optional<std::string> Read(const std::string& path, std::size_t max_bytes,
                                  std::string& error) override;
  bool Replace(const std::string& path, std::string_view text, std::string& error) override;
  bool Append(const std::string& path, std::string_view text, std::string& error) override;
  bool Remove(const std::string& path) override;
  std::string ProgramFolder() override;
  std::string CurrentFolder() override;
  std::string AbsoluteFolder(const std::string& folder) override;
  bool IsFolder(const std::string& path) override;
  bool Subfolders(const std::string& folder, std::vector<std::string>& names,
                  std::string& error) override;
  std::vector<Drive> Drives() override;
  bool CanWriteIn(const std::string& folder) override;
  std::string UserSettingsFolder(std::string_view name) override;
  bool MakeFolder(const std::string& folder, std::string& error) override;
  std::optional<std::uintmax_t> FreeBytes(const std::string& folder) override;

 private:
  std::string mounts_ = "/proc/mounts";
};

}  // namespace quorvel
