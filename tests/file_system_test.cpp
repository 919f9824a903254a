// The file system port of this system: what the cycle, the settings and the picker ask of the
// real disk. Each case works in a folder of its own, removed with it.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <thread>
#include <tuple>
#include <utility>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "files/mount_points.h"
#include "files/time_limited_file_system.h"
#include "sim/memory_file_system.h"
#include QUORVEL_SYSTEM_FILES_HEADER  // this system's realisation, QUORVEL_SYSTEM_FILES

namespace quorvel {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
 protected:
  FileSystemTest()
      : root_(fs::temp_directory_path() / ("quorvel-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(root_);
  }
  ~FileSystemTest() override { fs::remove_all(root_); }
  static fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
  }
  // A path below the folder, as UTF-8 text.
  std::string At(const std::string& name) const {
    const std::u8string text = (root_ / PathOf(name)).u8string();
    return std::string(text.begin(), text.end());
  }
  fs::path root_;
  QUORVEL_SYSTEM_FILES files_;
};

TEST_F(FileSystemTest, ReplaceWritesWholeOrLeavesTheOldFile) {
  const std::string path = At("Quorvel.ini");
  std::string error;
  ASSERT_TRUE(files_.Replace(path, "old", error)) << error;
  const auto old = files_.Facts(path);
  ASSERT_TRUE(files_.Replace(path, "new text", error)) << error;
  EXPECT_EQ(files_.ReadWhole(path, error), "new text");
  EXPECT_NE(files_.Facts(path)->identity, old->identity) << "a file put in another's place";
  EXPECT_GT(files_.FreeBytes(root_.string()).value_or(0), 0u);
  EXPECT_EQ(files_.Read(path, 3, error), "new");
  EXPECT_EQ(files_.Facts(path)->size, 8u);
  EXPECT_FALSE(fs::exists(TemporaryPathFor(path)));

  fs::create_directory(TemporaryPathFor(path));  // the write cannot even begin
  EXPECT_FALSE(files_.Replace(path, "lost", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(files_.ReadWhole(path, error), "new text");

  const std::string folder = At("a folder");
  fs::create_directories(PathOf(folder) / "inside");
  EXPECT_FALSE(files_.Replace(folder, "lost", error));  // cannot take a folder's place
  EXPECT_TRUE(fs::is_directory(PathOf(folder) / "inside"));
  EXPECT_FALSE(fs::exists(TemporaryPathFor(folder))) << "the attempt left its temporary file";
}

// Folders are made where missing, with their parents, and asked whether they take files.
TEST_F(FileSystemTest, FoldersAreMadeAndNamesBeyondAsciiAreKeptAndFactsAreOfFilesOnly) {
  const std::string folder = At("Scans \u00e9t\u00e9 \u20ac");
  const std::string inner = folder + kPathSeparator + "Fotos \u00fcber";
  std::string error;
  EXPECT_FALSE(files_.CanWriteIn(inner));
  ASSERT_TRUE(files_.MakeFolder(inner, error)) << error;
  EXPECT_TRUE(files_.MakeFolder(inner, error)) << "one that is there";
  EXPECT_TRUE(files_.CanWriteIn(inner));
  EXPECT_TRUE(fs::is_empty(PathOf(inner))) << "the question leaves nothing behind";
  std::ofstream(PathOf(At("file"))) << "in the way";
  EXPECT_FALSE(files_.MakeFolder(At("file") + kPathSeparator + "x", error));
  EXPECT_FALSE(error.empty());
  std::vector<std::string> names;
  ASSERT_TRUE(files_.Subfolders(folder, names, error)) << error;
  EXPECT_EQ(names, std::vector<std::string>{"Fotos \u00fcber"});
  ASSERT_TRUE(files_.Replace(folder + kPathSeparator + "p\u00e4ge.bmp", "BM", error)) << error;
  const auto facts = files_.Facts(folder + kPathSeparator + "p\u00e4ge.bmp");
  ASSERT_TRUE(facts);
  EXPECT_LT(std::chrono::abs(facts->written - std::chrono::system_clock::now()),
            std::chrono::minutes(1));
  EXPECT_FALSE(files_.Facts(folder));
  EXPECT_FALSE(files_.Facts(folder + kPathSeparator + "*.bmp"));  // no wildcards
  EXPECT_FALSE(files_.Subfolders(At("missing"), names, error));
  EXPECT_FALSE(error.empty());
}

// Each drive is a folder of the file systems mounted for the operator's files, opened at its
// root, the root folder first; a Windows drive opens at its own current folder.
TEST_F(FileSystemTest, FoldersResolveAndDrivesAreThere) {
  EXPECT_EQ(files_.AbsoluteFolder(At("x") + kPathSeparator + ".." + kPathSeparator + "y"), At("y"));
  EXPECT_TRUE(files_.IsFolder(files_.ProgramFolder()));
  const std::vector<Drive> drives = files_.Drives();
  ASSERT_FALSE(drives.empty());
#ifndef _WIN32
  EXPECT_EQ(drives.front().root, "/");
#endif
  for (const Drive& drive : drives) {
    EXPECT_TRUE(files_.IsFolder(drive.current_folder)) << drive.current_folder;
#ifdef _WIN32
    EXPECT_TRUE(drive.current_folder.starts_with(drive.root)) << drive.current_folder;
#else
    EXPECT_EQ(drive.current_folder, drive.root);
#endif
  }
}

#ifndef _WIN32
// The user's settings folder: below an absolute XDG_CONFIG_HOME, else below an absolute HOME,
// else below the home folder of the user's account; relative ones are ignored.
TEST(UserSettingsFolderTest, FollowsTheXdgRulesAndTheAccount) {
  const std::string account = getpwuid(getuid())->pw_dir;
  const char* const kUnset = nullptr;
  // XDG_CONFIG_HOME, HOME (kUnset: unset), and the folder.
  const std::tuple<const char*, const char*, std::string> cases[] = {
      {"/x/conf", "/h", "/x/conf/quorvel"},
      {"x/conf", "/h", "/h/.config/quorvel"},
      {kUnset, "/h", "/h/.config/quorvel"},
      {kUnset, "h", account + "/.config/quorvel"},
      {"", kUnset, account + "/.config/quorvel"}};
  const auto put = [](const char* name, const char* value) {
    return value != nullptr ? setenv(name, value, 1) : unsetenv(name);
  };
  const char* const config_was = std::getenv("XDG_CONFIG_HOME");
  const std::string home = std::getenv("HOME"), config = config_was != nullptr ? config_was : "";
  for (const auto& [xdg, home_set, folder] : cases) {
    put("XDG_CONFIG_HOME", xdg);
    put("HOME", home_set);
    EXPECT_EQ(PosixFileSystem().UserSettingsFolder("Quorvel"), folder)
        << (xdg ? xdg : "-") << " " << (home_set ? home_set : "-");
  }
  put("HOME", home.c_str());
  put("XDG_CONFIG_HOME", config.empty() ? nullptr : config.c_str());
}
#endif

// A file system whose first call into /hung waits until let go, or for a while.
class SlowFiles : public MemoryFileSystem {
 public:
  explicit SlowFiles(std::chrono::milliseconds hold)
      : MemoryFileSystem([] { return std::chrono::system_clock::now(); }, "/p"), hold_(hold) {
    AddFolder("/hung");
    for (const char* path : {"/hung/a.bmp", "/fine/a.bmp"}) PutFile(path, "BM");
  }
  std::optional<FileFacts> Facts(const std::string& path) override {
    std::unique_lock lock(mutex_);
    if (path.starts_with("/hung/") && !std::exchange(held_, true)) {
      let_go_.wait_for(lock, hold_, [this] { return free_; });
    }
    return MemoryFileSystem::Facts(path);
  }
  void LetGo() {
    const std::lock_guard lock(mutex_);
    free_ = true;
    let_go_.notify_all();
  }

 private:
  std::chrono::milliseconds hold_;
  std::mutex mutex_;
  std::condition_variable let_go_;
  bool held_ = false, free_ = false;
};

// A call into a folder that does not answer within the limit answers "no answer"; while it has not
// come back, further calls into that folder answer so at once without being made, and other
// folders answer as ever. Once it is back, the folder answers again. The same whether the call
// never comes back by itself (a hard mount of a server gone) or comes back late.
TEST(TimeLimitedFileSystemTest, AFolderThatDoesNotAnswerHoldsUpNothingElse) {
  using namespace std::chrono_literals;
  // Long enough for a thread to start on a busy machine.
  constexpr std::chrono::milliseconds kLimit = 1s;
  for (const std::chrono::milliseconds hold : {std::chrono::milliseconds(1h), 2 * kLimit}) {
    auto slow = std::make_shared<SlowFiles>(hold);
    auto files = std::make_unique<TimeLimitedFileSystem>(slow, kLimit);
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(!files->Facts("/hung/a.bmp") && files->NoAnswer());
    EXPECT_GE(std::chrono::steady_clock::now() - start, kLimit);

    start = std::chrono::steady_clock::now();
    std::string error;
    EXPECT_FALSE(files->Replace("/hung/b.bmp", "BM", error));
    EXPECT_FALSE(files->Read("/hung/a.bmp", 2, error));
    EXPECT_EQ(error, kNoAnswer);
    EXPECT_TRUE(files->NoAnswer());
    EXPECT_LT(std::chrono::steady_clock::now() - start, kLimit) << "waited on the same hang";
    EXPECT_TRUE(files->Facts("/fine/a.bmp"));

    // The program ends while a call waits that never comes back by itself: it is left to finish.
    const bool never = hold > kLimit * 10;
    if (never) files.reset();
    if (never) slow->LetGo();
    if (never) files = std::make_unique<TimeLimitedFileSystem>(slow, kLimit);
    // Once the call is back (its thread ends a moment later), the folder answers again.
    const auto give_up = std::chrono::steady_clock::now() + 10s;
    while (!files->Facts("/hung/a.bmp") && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(10ms);
    }
    EXPECT_FALSE(files->NoAnswer());
    EXPECT_FALSE(files->Facts("/hung/b.bmp")) << "a call answered at once was never made";
  }
}

TEST(MountPointsTest, OnlyFileSystemsOfTheOperatorsStandInForDrives) {
  const std::string mounts =
      "proc /proc proc rw,relatime 0 0\nsysfs /sys sysfs rw 0 0\ntmpfs /dev/shm tmpfs rw 0 0\n"
      "/dev/vda / ext4 rw,relatime 0 0\ncgroup2 /sys/fs/cgroup/unified cgroup2 rw 0 0\n"
      "/dev/sdb1 /media/my\\040usb vfat rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n"
      "binfmt_misc /binfmt binfmt_misc rw 0 0\ntmpfs /tmp tmpfs rw 0 0\nbroken line\n";
  EXPECT_EQ(DriveMountPoints(mounts), (std::vector<std::string>{"/", "/media/my usb", "/tmp"}));
}

}  // namespace
}  // namespace quorvel
