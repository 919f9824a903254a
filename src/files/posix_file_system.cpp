#include "files/posix_file_system.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "common/ascii.h"
#include "files/mount_points.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Paths are held as UTF-8 text; the file system library takes them as such.
fs::path PathOf(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string TextOf(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string LastError() {
  return std::error_code(errno, std::generic_category()).message();
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::optional<FileFacts> PosixFileSystem::Facts(const std::string& path) {
  struct stat facts {};
  if (path.empty() || stat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode)) {
    return std::nullopt;
  }
  // To the nanosecond where the file system keeps it, so that two saves within one second differ.
  const auto written =
      std::chrono::seconds(facts.st_mtim.tv_sec) + std::chrono::nanoseconds(facts.st_mtim.tv_nsec);
  return FileFacts{static_cast<std::uintmax_t>(facts.st_size),
                   std::chrono::system_clock::time_point(
                       std::chrono::duration_cast<std::chrono::system_clock::duration>(written)),
                   static_cast<std::uint64_t>(facts.st_ino)};
}

std::optional<std::string> PosixFileSystem::Read(const std::string& path, std::size_t max_bytes,
                                                 std::string& error) {
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = LastError();
    return std::nullopt;
  }
  std::string text;
  char buffer[4096];
  while (text.size() < max_bytes) {
    const std::size_t want = std::min(sizeof buffer, max_bytes - text.size());
    const std::size_t got = std::fread(buffer, 1, want, file.get());
    text.append(buffer, got);
    if (got < want) break;
  }
  if (std::ferror(file.get()) != 0) {
    error = LastError();
    return std::nullopt;
  }
  return text;
}

bool PosixFileSystem::Replace(const std::string& path, std::string_view text, std::string& error) {
  const std::string temporary = TemporaryPathFor(path);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    error = LastError();
    return false;
  }
  // The data reaches the disk before the rename, so the rename cannot outrun it.
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                 std::fflush(file) == 0 && (fsync(fileno(file)) == 0 || errno == EINVAL);
  if (!written) error = LastError();
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = LastError();
  }
  if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  if (written) error = LastError();
  std::remove(temporary.c_str());
  return false;
}

bool PosixFileSystem::Append(const std::string& path, std::string_view text, std::string& error) {
  const File file(std::fopen(path.c_str(), "ab"));
  const bool written =
      file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
      std::fflush(file.get()) == 0 && (fsync(fileno(file.get())) == 0 || errno == EINVAL);
  if (!written) error = LastError();
  return written;
}

bool PosixFileSystem::Remove(const std::string& path) {
  return std::remove(path.c_str()) == 0 || !Facts(path);
}

std::string PosixFileSystem::ProgramFolder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) return CurrentFolder();
  return TextOf(program.parent_path());
}

std::string PosixFileSystem::CurrentFolder() {
  std::error_code error;
  const fs::path folder = fs::current_path(error);
  return error ? std::string() : TextOf(folder);
}

std::string PosixFileSystem::AbsoluteFolder(const std::string& folder) {
  std::error_code error;
  const fs::path path = fs::absolute(PathOf(folder.empty() ? "." : folder), error);
  return error ? std::string() : TextOf(path.lexically_normal());
}

bool PosixFileSystem::IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(PathOf(path), error);
}

bool PosixFileSystem::Subfolders(const std::string& folder, std::vector<std::string>& names,
                                 std::string& error) {
  std::error_code code;
  fs::directory_iterator it(PathOf(folder), code);
  for (; !code && it != fs::directory_iterator(); it.increment(code)) {
    std::error_code kind_error;
    if (it->is_directory(kind_error)) names.push_back(TextOf(it->path().filename()));
  }
  if (code) error = code.message();
  return !code;
}

std::vector<Drive> PosixFileSystem::Drives() {
  std::string error;
  const std::string mounts = ReadWhole(mounts_, error).value_or("");
  std::vector<Drive> drives;
  for (const std::string& point : DriveMountPoints(mounts)) {
    if (IsFolder(point)) drives.push_back({point, point, point});
  }
  if (drives.empty()) drives.push_back({"/", "/", "/"});
  return drives;
}

bool PosixFileSystem::CanWriteIn(const std::string& folder) {
  return IsFolder(folder) && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string PosixFileSystem::UserSettingsFolder(std::string_view name) {
  const std::string folder = LowerAscii(name);
  // A relative XDG_CONFIG_HOME is to be ignored, as if it were not set.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + '/' + folder;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || home[0] != '/') return {};
  return std::string(home) + "/.config/" + folder;
}

bool PosixFileSystem::MakeFolder(const std::string& folder, std::string& error) {
  std::error_code code;
  fs::create_directories(PathOf(folder), code);
  if (IsFolder(folder)) return true;
  error = code ? code.message() : std::string("a file of that name is in the way");
  return false;
}

std::optional<std::uintmax_t> PosixFileSystem::FreeBytes(const std::string& folder) {
  struct statvfs disk {};
  if (statvfs(folder.c_str(), &disk) != 0) return std::nullopt;
  return static_cast<std::uintmax_t>(disk.f_bavail) * disk.f_frsize;
}

}  // namespace quorvel
