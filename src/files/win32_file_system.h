// The file system port on Windows, through the system's wide-character calls (no C++ file system
// library or streams: it keeps the program small).
#pragma once

#include "files/file_system.h"

namespace quorvel {

class Win32FileSystem : public FileSystem {
 public:
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
};

// The folder part of a module's path (UTF-8), without the trailing separator, except for a
// root folder (C:\ for the root of drive C), which keeps it.
std::string FolderOfPath(std::string_view path);

}  // namespace quorvel
