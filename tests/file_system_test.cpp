// The file system contract, held by every realisation: the one in memory that the other tests run
// on, and this system's own (POSIX, or Win32 in the Windows build, run under Wine) in a scratch
// folder of the real disk. Each case works in a folder of its own, removed with it.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>
#include <tuple>
#include <utility>

#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "files/mount_points.h"
#include "files/time_limited_file_system.h"
#include "sim/memory_file_system.h"
#include QUORVEL_SYSTEM_FILES_HEADER  // this system's realisation, QUORVEL_SYSTEM_FILES

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// A folder of its own in the system's temporary folder, as UTF-8 text.
std::string ScratchFolder() {
  const std::u8string text = (fs::temp_directory_path() / "").lexically_normal().u8string();
  return std::string(text.begin(), text.end()) + "quorvel-" +
         std::to_string(std::random_device{}());
}

// The file system in memory: a folder is refused, and the drives are those the case mounts; the
// scratch folder is a disk of 1 MB.
struct InMemory {
  explicit InMemory(const std::string& scratch)
      : files([] { return std::chrono::system_clock::now(); }, scratch) {
    files.SetCapacity(scratch, 1 << 20);
  }
  bool MakeUnreadable(const std::string& folder) { return files.Refuse(folder, "denied"), true; }
  bool Mount(const std::string& folder, const std::string&) {
    return files.SetDrives({{folder, folder, folder}}), true;
  }
  MemoryFileSystem files;
};

// This system's: on POSIX the drives come from a mount table the case writes. False where the
// system alone decides: Windows names its drives; the superuser reads every folder.
struct OnDisk {
#ifdef _WIN32
  explicit OnDisk(const std::string&) {}
  bool MakeUnreadable(const std::string&) {
    return false;
  }
  bool Mount(const std::string&, const std::string&) {
    return false;
  }
#else
  explicit OnDisk(const std::string& scratch) : mounts(scratch + "/mounts"), files(mounts) {}
  bool MakeUnreadable(const std::string& folder) {
    return chmod(folder.c_str(), 0) == 0 && access(folder.c_str(), R_OK) != 0;
  }
  bool Mount(const std::string&, const std::string& name) {
    std::string error;
    return files.Replace(mounts, "/dev/sdb1 " + name + " vfat rw 0 0\n", error);
  }
  std::string mounts;
#endif
  QUORVEL_SYSTEM_FILES files;
};

template <class Realisation>
class FileSystemContract : public ::testing::Test {
 protected:
  FileSystemContract()
      : scratch_(ScratchFolder()), realisation_(scratch_), files_(realisation_.files) {
    std::string error;
    files_.MakeFolder(scratch_, error);
  }
  ~FileSystemContract() override {
    const fs::path scratch(std::u8string(scratch_.begin(), scratch_.end()));
    std::error_code error;
    fs::permissions(scratch / "locked", fs::perms::owner_all, error);
    fs::remove_all(scratch, error);
  }
  std::string At(const std::string& name) const { return scratch_ + kPathSeparator + name; }
  std::string scratch_;
  Realisation realisation_;
  FileSystem& files_;
};

using Realisations = ::testing::Types<InMemory, OnDisk>;
TYPED_TEST_SUITE(FileSystemContract, Realisations);

// A replace writes the whole text or leaves the file as it was, with nothing of the attempt left;
// appending makes the file when missing and keeps what was there; size and time follow.
TYPED_TEST(FileSystemContract, WritesReplaceWholeOrNothingAndAppendsKeepWhatWasThere) {
  FileSystem& files = this->files_;
  const std::string path = this->At("journal \u00e9t\u00e9.csv"), sep(1, kPathSeparator);
  std::string error;
  ASSERT_TRUE(files.Replace(path, "old", error)) << error;
  const std::optional<FileFacts> old = files.Facts(path);
  ASSERT_TRUE(files.Replace(path, "one,\u20ac\r\n", error)) << error;
  EXPECT_NE(files.Facts(path)->identity, old->identity) << "a file put in another's place";
  EXPECT_GT(files.FreeBytes(this->scratch_).value_or(0), 0u);
  ASSERT_TRUE(files.Append(path, "two\r\n", error)) << error;
  EXPECT_EQ(files.ReadWhole(path, error), "one,\u20ac\r\ntwo\r\n");
  EXPECT_EQ(files.Read(path, 4, error), "one,");
  const FileFacts facts = files.Facts(path).value();  // throws, and fails the case, when none
  EXPECT_EQ(facts.size, 14u);
  EXPECT_LT(std::chrono::abs(facts.written - std::chrono::system_clock::now()),
            std::chrono::minutes(1));
  ASSERT_TRUE(files.MakeFolder(TemporaryPathFor(path), error));  // the write cannot even begin
  EXPECT_FALSE(files.Replace(path, "lost", error));
  EXPECT_EQ(files.ReadWhole(path, error), "one,\u20ac\r\ntwo\r\n");
  ASSERT_TRUE(files.MakeFolder(this->At("dir") + sep + "inside", error));
  error.clear();
  EXPECT_FALSE(files.Replace(this->At("dir"), "lost", error));  // cannot take a folder's place
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(files.IsFolder(this->At("dir") + sep + "inside"));
  EXPECT_FALSE(files.FileExists(TemporaryPathFor(this->At("dir")))) << "the attempt left a file";
  EXPECT_FALSE(files.Append(this->At("missing") + sep + "x.csv", "x", error));
  EXPECT_TRUE(files.Remove(path));
  EXPECT_FALSE(files.ReadWhole(path, error));
  EXPECT_FALSE(files.Facts(this->scratch_)) << "a folder has no file facts";
  EXPECT_FALSE(files.Facts(this->At("*.csv"))) << "no wildcards";
}

// Folders are made with their parents; a listing shows the folders, not the files, names beyond
// ASCII as they are; a folder missing or unreadable lists nothing and the reason is given. Each
// drive is a folder, opened at its current folder; a mounted file system with blanks in its name
// (written "\040" in the mount table, one of them last) is a drive under that name.
TYPED_TEST(FileSystemContract, ListingsShowFoldersOnlyAndDrivesAreFoldersUnderTheirNames) {
  FileSystem& files = this->files_;
  const std::string folder = this->At("Scans \u00e9t\u00e9 \u20ac"), sep(1, kPathSeparator);
  const std::string inner = folder + sep + "Fotos \u00fcber", usb = this->At("my usb ");
  std::string error;
  EXPECT_FALSE(files.CanWriteIn(inner));
  ASSERT_TRUE(files.MakeFolder(inner, error)) << error;
  EXPECT_TRUE(files.MakeFolder(inner, error)) << "one that is there";
  EXPECT_TRUE(files.CanWriteIn(inner));
  ASSERT_TRUE(files.Replace(folder + sep + "p\u00e4ge.bmp", "BM", error)) << error;
  EXPECT_FALSE(files.MakeFolder(folder + sep + "p\u00e4ge.bmp", error));
  std::vector<std::string> names;
  ASSERT_TRUE(files.Subfolders(folder, names, error)) << error;
  EXPECT_EQ(names, std::vector<std::string>{"Fotos \u00fcber"});
  EXPECT_EQ(files.AbsoluteFolder(this->At("x") + sep + ".." + sep + "y"), this->At("y"));
  EXPECT_TRUE(files.IsFolder(files.ProgramFolder()));
  // No folder can be made unreadable for the superuser, nor on Windows under Wine.
  ASSERT_TRUE(files.MakeFolder(this->At("locked") + sep + "in", error));
  const bool locked = this->realisation_.MakeUnreadable(this->At("locked"));
  for (const char* unlisted : {"missing", locked ? "locked" : "missing"}) {
    names.clear();
    error.clear();
    EXPECT_FALSE(files.Subfolders(this->At(unlisted), names, error)) << unlisted;
    EXPECT_EQ(std::tuple(names.size(), error.empty()), std::tuple(0u, false)) << unlisted;
  }
  ASSERT_TRUE(files.MakeFolder(usb, error)) << error;
  const bool mounted = this->realisation_.Mount(usb, this->At("my\\040usb\\040"));
  const std::vector<Drive> drives = files.Drives();
  ASSERT_FALSE(drives.empty());
  for (const Drive& drive : drives) {
    EXPECT_TRUE(files.IsFolder(drive.current_folder)) << drive.current_folder;
    EXPECT_TRUE(drive.current_folder.starts_with(drive.root)) << drive.current_folder;
  }
  EXPECT_EQ(mounted ? drives.back().name : usb, usb);
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

// A file system whose first call into the folder "hung" waits until let go, or for a while. Paths
// with the system's separator: the time limit tells folders apart by it.
std::string Under(const char* folder, const char* name = "a.bmp") {
  return std::string(1, kPathSeparator) + folder + kPathSeparator + name;
}
class SlowFiles : public MemoryFileSystem {
 public:
  explicit SlowFiles(std::chrono::milliseconds hold)
      : MemoryFileSystem([] { return std::chrono::system_clock::now(); },
                         std::string(1, kPathSeparator) + "p"),
        hold_(hold) {
    AddFolder(std::string(1, kPathSeparator) + "hung");
    for (const std::string& path : {Under("hung"), Under("fine")}) PutFile(path, "BM");
  }
  std::optional<FileFacts> Facts(const std::string& path) override {
    std::unique_lock lock(mutex_);
    if (path.starts_with(Under("hung", "")) && !std::exchange(held_, true)) {
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
    EXPECT_TRUE(!files->Facts(Under("hung")) && files->NoAnswer());
    EXPECT_GE(std::chrono::steady_clock::now() - start, kLimit);

    start = std::chrono::steady_clock::now();
    std::string error;
    EXPECT_FALSE(files->Replace(Under("hung", "b.bmp"), "BM", error));
    EXPECT_FALSE(files->Read(Under("hung"), 2, error));
    EXPECT_EQ(error, kNoAnswer);
    EXPECT_TRUE(files->NoAnswer());
    EXPECT_LT(std::chrono::steady_clock::now() - start, kLimit) << "waited on the same hang";
    EXPECT_TRUE(files->Facts(Under("fine")));

    // The program ends while a call waits that never comes back by itself: it is left to finish.
    const bool never = hold > kLimit * 10;
    if (never) files.reset();
    if (never) slow->LetGo();
    if (never) files = std::make_unique<TimeLimitedFileSystem>(slow, kLimit);
    // Once the call is back (its thread ends a moment later), the folder answers again.
    const auto give_up = std::chrono::steady_clock::now() + 10s;
    while (!files->Facts(Under("hung")) && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(10ms);
    }
    EXPECT_FALSE(files->NoAnswer());
    EXPECT_FALSE(files->Facts(Under("hung", "b.bmp"))) << "a call answered at once was never made";
  }
}

// Kernel and pseudo file systems are no drives; the escapes of a mount point ("\040" a blank,
// "\011" a tab, "\134" a backslash) are decoded wherever they stand, one that is cut short is
// kept as written; a line too short for a type is no mount.
TEST(MountPointsTest, OnlyFileSystemsOfTheOperatorsStandInForDrives) {
  const std::string mounts =
      "proc /proc proc rw,relatime 0 0\nsysfs /sys sysfs rw 0 0\ntmpfs /dev/shm tmpfs rw 0 0\n"
      "/dev/vda / ext4 rw,relatime 0 0\ncgroup2 /sys/fs/cgroup/unified cgroup2 rw 0 0\n"
      "/dev/sdb1 /media/my\\040usb\\040 vfat rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n"
      "/dev/sdc1\t/media/a\\011b\\134c\\04 ext4 rw 0 0\nserver:/x /devices nfs rw 0 0\n"
      "/dev/sdd1 /media/\\0401\\999 ext4 rw 0 0\ndevtmpfs /devtmp devtmpfs rw 0 0\n"
      "binfmt_misc /binfmt binfmt_misc rw 0 0\ntmpfs /tmp tmpfs rw 0 0\nbroken line\nrel x ext4\n";
  EXPECT_EQ(DriveMountPoints(mounts),
            (std::vector<std::string>{"/", "/devices", "/media/ 1\\999", "/media/a\tb\\c\\04",
                                      "/media/my usb ", "/tmp"}));
}

}  // namespace
}  // namespace quorvel
