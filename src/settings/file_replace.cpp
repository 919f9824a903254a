#include "settings/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#undef ReplaceFile  // windows.h's macro for ReplaceFileA/W would rename this file's function

#include "common/win32_text.h"
#else
#include <unistd.h>
#endif

namespace quorvel {
namespace {

// The path is UTF-8; on Windows the C library's narrow names are in the ANSI code page.
std::FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
  const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(Utf8ToWide(path).c_str(), wide_mode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

std::string LastError() {
  return std::error_code(errno, std::generic_category()).message();
}

// Hands the file's written data to the disk, so that the rename cannot outrun it.
bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0 || errno == EINVAL;  // EINVAL: a file that cannot be synced
#endif
}

// Puts the temporary file in place of the target in one step.
bool MoveOver(const std::string& temporary, const std::string& path, std::string& error) {
#ifdef _WIN32
  if (MoveFileExW(Utf8ToWide(temporary).c_str(), Utf8ToWide(path).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = std::error_code(static_cast<int>(GetLastError()), std::system_category()).message();
  return false;
#else
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  error = LastError();
  return false;
#endif
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) {
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) {
    error = LastError();
    return std::nullopt;
  }
  std::string text;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  if (failed) error = LastError();
  std::fclose(file);
  if (failed) return std::nullopt;
  return text;
}

std::string TemporaryPathFor(const std::string& path) {
  return path + ".tmp";
}

bool ReplaceFile(const std::string& path, std::string_view text, std::string& error) {
  const std::string temporary = TemporaryPathFor(path);
  std::FILE* file = OpenFile(temporary, "wb");
  if (file == nullptr) {
    error = LastError();
    return false;
  }
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() && FlushToDisk(file);
  if (!written) error = LastError();
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = LastError();
  }
  if (written && MoveOver(temporary, path, error)) return true;
#ifdef _WIN32
  DeleteFileW(Utf8ToWide(temporary).c_str());
#else
  std::remove(temporary.c_str());
#endif
  return false;
}

}  // namespace quorvel
