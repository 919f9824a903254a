#include "app/folder_system.h"

#ifdef _WIN32
#include <windows.h>

#include <system_error>

#include "common/win32_text.h"
#else
#include <filesystem>
#include <system_error>

#include "common/path_text.h"
#endif

namespace quorvel {

#ifdef _WIN32

std::string AbsoluteFolder(const std::string& folder) {
  const std::wstring wide = Utf8ToWide(folder.empty() ? "." : folder);
  const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return {};
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return {};
  full.resize(written);
  return WideToUtf8(full);
}

std::string CurrentFolder() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return {};
  std::wstring folder(length, L'\0');
  const DWORD written = GetCurrentDirectoryW(length, folder.data());
  if (written == 0 || written >= length) return {};
  folder.resize(written);
  return WideToUtf8(folder);
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Subfolders(const std::string& folder, std::vector<std::string>& names, std::string& error) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(Utf8ToWide(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return true;  // an empty drive root
    error = std::error_code(static_cast<int>(code), std::system_category()).message();
    return false;
  }
  do {
    const std::wstring name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L"..") {
      names.push_back(WideToUtf8(name));
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

#else

namespace fs = std::filesystem;

std::string AbsoluteFolder(const std::string& folder) {
  std::error_code error;
  const fs::path path = fs::absolute(PathOf(folder.empty() ? "." : folder), error);
  return error ? std::string() : TextOf(path.lexically_normal());
}

std::string CurrentFolder() {
  std::error_code error;
  const fs::path folder = fs::current_path(error);
  return error ? std::string() : TextOf(folder);
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(PathOf(path), error);
}

bool Subfolders(const std::string& folder, std::vector<std::string>& names, std::string& error) {
  std::error_code code;
  fs::directory_iterator it(PathOf(folder), code);
  for (; !code && it != fs::directory_iterator(); it.increment(code)) {
    std::error_code kind_error;
    if (it->is_directory(kind_error)) names.push_back(TextOf(it->path().filename()));
  }
  if (code) error = code.message();
  return !code;
}

#endif

}  // namespace quorvel
