#include "files/win32_file_system.h"

#include <windows.h>

#include <shlobj.h>

#include <system_error>

#include "common/ascii.h"
#include "common/win32_text.h"

namespace quorvel {
namespace {

std::string SystemMessage(DWORD code) {
  return std::error_code(static_cast<int>(code), std::system_category()).message();
}

// A handle closed when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (Valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A call that fills a buffer and returns its length, or the length it needs when it is too small.
template <typename Fill>
std::wstring FilledBuffer(Fill fill) {
  std::wstring text(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(static_cast<std::size_t>(length) + 1);
  }
}

}  // namespace

std::optional<FileFacts> Win32FileSystem::Facts(const std::string& path) {
  // The path is taken as it stands: "*" and "?" match nothing.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  // FILETIME counts 100 ns steps from 1601; the wall clock counts from 1970.
  constexpr std::int64_t kFrom1601To1970 = 116444736000000000;
  const std::int64_t ticks =
      static_cast<std::int64_t>(
          (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
          data.ftLastWriteTime.dwLowDateTime) -
      kFrom1601To1970;
  using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>;
  const std::uintmax_t size =
      (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  FileFacts facts{
      size, std::chrono::system_clock::time_point(
                std::chrono::duration_cast<std::chrono::system_clock::duration>(Ticks(ticks)))};
  // The file's index tells a file saved anew under the same name from the one before it.
  const Handle file(CreateFileW(Utf8ToWide(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (file.Valid() && GetFileInformationByHandle(file.Get(), &info)) {
    facts.identity = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  }
  return facts;
}

std::optional<std::string> Win32FileSystem::Read(const std::string& path, std::size_t max_bytes,
                                                 std::string& error) {
  const Handle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    error = SystemMessage(GetLastError());
    return std::nullopt;
  }
  std::string text;
  char buffer[4096];
  while (text.size() < max_bytes) {
    const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, max_bytes - text.size()));
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, want, &got, nullptr)) {
      error = SystemMessage(GetLastError());
      return std::nullopt;
    }
    text.append(buffer, got);
    if (got < want) break;
  }
  return text;
}

bool Win32FileSystem::Replace(const std::string& path, std::string_view text, std::string& error) {
  const std::wstring temporary = Utf8ToWide(TemporaryPathFor(path));
  bool written = false;
  {
    const Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
      error = SystemMessage(GetLastError());
      return false;
    }
    DWORD put = 0;
    // The data reaches the disk before the move, so the move cannot outrun it.
    written = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) &&
              put == text.size() && FlushFileBuffers(file.Get());
    if (!written) error = SystemMessage(GetLastError());
  }
  if (written && MoveFileExW(temporary.c_str(), Utf8ToWide(path).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  if (written) error = SystemMessage(GetLastError());
  DeleteFileW(temporary.c_str());
  return false;
}

bool Win32FileSystem::Append(const std::string& path, std::string_view text, std::string& error) {
  const Handle file(CreateFileW(Utf8ToWide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD put = 0;
  const bool written =
      file.Valid() &&
      WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) &&
      put == text.size() && FlushFileBuffers(file.Get());
  if (!written) error = SystemMessage(GetLastError());
  return written;
}

bool Win32FileSystem::Remove(const std::string& path) {
  return DeleteFileW(Utf8ToWide(path).c_str()) || !Facts(path);
}

std::string Win32FileSystem::ProgramFolder() {
  const std::wstring path = FilledBuffer(
      [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
  return FolderOfPath(WideToUtf8(path));
}

std::string Win32FileSystem::CurrentFolder() {
  return WideToUtf8(
      FilledBuffer([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); }));
}

std::string Win32FileSystem::AbsoluteFolder(const std::string& folder) {
  const std::wstring wide = Utf8ToWide(folder.empty() ? "." : folder);
  return WideToUtf8(FilledBuffer([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
  }));
}

bool Win32FileSystem::IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::Subfolders(const std::string& folder, std::vector<std::string>& names,
                                 std::string& error) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(Utf8ToWide(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return true;  // an empty drive root
    error = SystemMessage(code);
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

std::vector<Drive> Win32FileSystem::Drives() {
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
    drives.push_back({LowerAscii(letter), root, current.empty() ? root : current});
  }
  return drives;
}

bool Win32FileSystem::CanWriteIn(const std::string& folder) {
  // Who may write where is the system's to weigh (access lists, a read-only medium, a share): the
  // sure answer is a file made there, gone again when it is closed.
  if (!IsFolder(folder)) return false;
  std::string probe = folder;
  if (probe.back() != '\\') probe += '\\';
  probe += "Quorvel-" + std::to_string(GetCurrentProcessId()) + ".tmp";
  const Handle file(CreateFileW(Utf8ToWide(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.Valid();
}

std::string Win32FileSystem::UserSettingsFolder(std::string_view name) {
  wchar_t path[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
    return {};
  return WideToUtf8(path) + '\\' + std::string(name);
}

bool Win32FileSystem::MakeFolder(const std::string& folder, std::string& error) {
  if (IsFolder(folder)) return true;
  const std::string parent = FolderOfPath(folder);
  if (!parent.empty() && parent != folder && !MakeFolder(parent, error)) return false;
  if (CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr) || IsFolder(folder)) return true;
  error = SystemMessage(GetLastError());
  return false;
}

std::string FolderOfPath(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) return {};
  std::string folder(path.substr(0, last));
  // "C:\x.exe" and "\x.exe" live in a root folder, which keeps its separator.
  const bool drive_root = folder.size() == 2 && folder[1] == ':';
  if (folder.empty() || drive_root) folder.push_back(path[last]);
  return folder;
}

std::optional<std::uintmax_t> Win32FileSystem::FreeBytes(const std::string& folder) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(Utf8ToWide(folder).c_str(), &available, nullptr, nullptr)) {
    return std::nullopt;
  }
  return available.QuadPart;
}

}  // namespace quorvel
