#include "settings/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "settings/file_replace.h"
#include "tests/messages.h"
#include "tests/rig.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using harness::ReasonMessage;
using harness::Rig;
using harness::TempFolder;
using ::testing::ElementsAre;

// Local time as the given zone sees it, for as long as the guard lives.
class ZoneGuard {
 public:
  explicit ZoneGuard(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    Set(zone);
  }
  ~ZoneGuard() { Set(old_ ? old_->c_str() : nullptr); }
  ZoneGuard(const ZoneGuard&) = delete;
  ZoneGuard& operator=(const ZoneGuard&) = delete;

 private:
  static void Set(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone ? zone : "");
    _tzset();
#else
    if (zone) {
      setenv("TZ", zone, 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
#endif
  }
  std::optional<std::string> old_;
};

WallClock::time_point At(std::time_t seconds) {
  return WallClock::from_time_t(seconds);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

constexpr const char* kHeader = "' INI file for Odrin Teskel's ScanJet Quorveler\r\n";

TEST(SettingsFileTest, IniPathJoinsTheProgramFolder) {
  const std::pair<const char*, const char*> cases[] = {
#ifdef _WIN32
      {"C:\\Program Files\\Quorvel", "C:\\Program Files\\Quorvel\\Quorvel.ini"},
      {"C:\\", "C:\\\\Quorvel.ini"},
#else
      {"/opt/quorvel", "/opt/quorvel/Quorvel.ini"},
      {"/", "//Quorvel.ini"},
#endif
  };
  for (const auto& [folder, path] : cases) EXPECT_EQ(IniPathFor(folder), path) << folder;
}

TEST(SettingsFileTest, StampLineShowsLocalDateAndTime) {
  const struct {
    const char* zone;
    std::time_t seconds;
    const char* line;
  } cases[] = {
      {"UTC0", 1796506207, "' 12-05-2026    -     21:30:07"},
      {"UTC0", 1798859045, "' 01-02-2027    -     03:04:05"},
      {"UTC0", 946684799, "' 12-31-1999    -     23:59:59"},
      {"IST-5:30", 1796506207, "' 12-06-2026    -     03:00:07"},  // east of Greenwich
      {"EST5", 1798859045, "' 01-01-2027    -     22:04:05"},      // west of it
  };
  for (const auto& c : cases) {
    ZoneGuard zone(c.zone);
    EXPECT_EQ(StampLine(At(c.seconds)), c.line) << c.zone << " " << c.seconds;
  }
}

TEST(SettingsFileTest, WriterMakesTheSixLinesByteForByte) {
  ZoneGuard zone("UTC0");
  EXPECT_EQ(SettingsText({1500, 2250}, 18000, At(1796506207)),
            std::string(kHeader) +
                "' 12-05-2026    -     21:30:07\r\n"
                "\r\n"
                "top=1500\r\n"
                "left=2250\r\n"
                "delay=18000\r\n");
  EXPECT_EQ(SettingsText({-15, 0}, -1, At(1796506207)).substr(83),
            "top=-15\r\nleft=0\r\ndelay=-1\r\n");
}

TEST(SettingsFileTest, WriterRoundsPositionsToWholeTwips) {
  const struct {
    double twips;
    const char* text;
  } cases[] = {{1500.5, "1500"}, {1501.5, "1502"}, {1500.4, "1500"}, {-7.5, "-8"}, {0.5, "0"}};
  for (const auto& c : cases) {
    const std::string text = SettingsText({c.twips, 0}, 0, At(0));
    EXPECT_NE(text.find("\r\ntop=" + std::string(c.text) + "\r\n"), std::string::npos) << c.twips;
  }
}

TEST(SettingsFileTest, ItemsSplitAtCommasAndLineEnds) {
  const struct {
    const char* text;
    std::vector<std::string> items;
  } cases[] = {
      {"' c\r\n' 12-05-2026\r\n\r\ntop=5\r\n", {"top=5"}},
      {"   delay=5000\r\n", {"delay=5000"}},
      {"\t delay=1\r\n", {"delay=1"}},
      {"delay=18,000\r\n", {"delay=18", "000"}},
      {"'note,delay=100\r\n", {"delay=100"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"x ,  y,,\r\n", {"x ", "y"}},
      {"\"delay=5,000\" tail,top=1", {"delay=5,000", "top=1"}},
      {"\"'quoted comment\"", {}},
      {"   \r\n  ", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SettingsItems(c.text), c.items) << c.text;
}

struct ReadCase {
  const char* file;
  std::int32_t delay;
  double top;
  double left;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::string(c.file));
}

class ReadIniTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadIniTest, AppliesEveryEntryInOrder) {
  const ReadCase& c = GetParam();
  Rig rig;
  WriteFile(rig.folder.path() / "Quorvel.ini", c.file);
  rig.state().Delay = 0;
  rig.state().Pausing = true;
  rig.form.ReadIni();
  EXPECT_EQ(rig.state().Delay, c.delay) << c.file;
  EXPECT_EQ(rig.host.GetWindowPosition().top, c.top) << c.file;
  EXPECT_EQ(rig.host.GetWindowPosition().left, c.left) << c.file;
  EXPECT_FALSE(rig.state().Pausing) << c.file;
  EXPECT_TRUE(rig.host.Messages().empty()) << c.file;
  EXPECT_EQ(ReadFile(rig.folder.path() / "Quorvel.ini"), c.file) << "the reader never writes";
}

// The headless window starts at top 1500, left 2250.
INSTANTIATE_TEST_SUITE_P(
    Cases, ReadIniTest,
    testing::Values(
        ReadCase{
            "' INI\r\n' 12-05-2026    -     21:30:07\r\n\r\ntop=300\r\nleft=450\r\ndelay=5000\r\n",
            5000, 300, 450},
        ReadCase{"DELAY=5000\r\n", 5000, 1500, 2250},
        ReadCase{"   delay=5000\r\n", 5000, 1500, 2250},
        ReadCase{"delay =5000\r\n", 18000, 1500, 2250},
        ReadCase{"xdelay=5000\r\n", 18000, 1500, 2250}, ReadCase{"delay= 7\r\n", 7, 1500, 2250},
        ReadCase{"delay=2.5\r\n", 2, 1500, 2250}, ReadCase{"delay=3.5\r\n", 4, 1500, 2250},
        ReadCase{"delay=18,000\r\n", 18, 1500, 2250},
        ReadCase{"'note,delay=100\r\n", 100, 1500, 2250},
        ReadCase{"delay=100\r\ndelay=200\r\n", 200, 1500, 2250},
        ReadCase{"' only\r\n' comments\r\n", 18000, 1500, 2250}, ReadCase{"", 18000, 1500, 2250},
        ReadCase{"delay=0\r\n", 18000, 1500, 2250}, ReadCase{"delay=abc\r\n", 18000, 1500, 2250},
        ReadCase{"delay=-5\r\n", -5, 1500, 2250}, ReadCase{"delay=&H10\r\n", 16, 1500, 2250},
        ReadCase{"delay=65536000\r\n", 65536000, 1500, 2250},
        ReadCase{"delay=5000", 5000, 1500, 2250}, ReadCase{"delay=5000\n", 5000, 1500, 2250},
        ReadCase{"\"delay=5,000\"\r\n", 5, 1500, 2250}, ReadCase{"Top=abc\r\n", 18000, 0, 2250},
        ReadCase{"LEFT=-120\r\n", 18000, 1500, -120}, ReadCase{"top=1,left=2\r\n", 18000, 1, 2},
        ReadCase{"top=100.25\r\n", 18000, 100.25, 2250},
        ReadCase{"top=0.1\r\n", 18000, static_cast<double>(0.1f), 2250},  // single precision
        ReadCase{"top=5\r\ntop=6\r\n", 18000, 6, 2250}));

TEST(ReadIniTest, MissingFileIsCreatedWithoutTouchingPausing) {
  ZoneGuard zone("UTC0");
  Rig rig;
  rig.state().Delay = 0;
  rig.state().Pausing = true;
  rig.form.ReadIni();
  const fs::path path = rig.folder.path() / "Quorvel.ini";
  EXPECT_EQ(rig.state().IniPath, path.string());
  EXPECT_EQ(rig.state().Delay, 18000);
  EXPECT_TRUE(rig.state().Pausing);
  EXPECT_TRUE(rig.host.Messages().empty());
  const std::string text = ReadFile(path);
  ASSERT_EQ(text.size(), 117u) << text;
  EXPECT_EQ(text.substr(0, 49), kHeader);
  EXPECT_EQ(text.substr(79), "\r\n\r\ntop=1500\r\nleft=2250\r\ndelay=18000\r\n");
  // The date line tells the desktop's present time.
  std::tm stamp{};
  ASSERT_EQ(
      std::sscanf(text.c_str() + 49, "' %2d-%2d-%4d    -     %2d:%2d:%2d", &stamp.tm_mon,
                  &stamp.tm_mday, &stamp.tm_year, &stamp.tm_hour, &stamp.tm_min, &stamp.tm_sec),
      6);
  const std::time_t now = WallClock::to_time_t(rig.desktop.Now());
  const std::tm expected = *std::gmtime(&now);
  EXPECT_EQ(stamp.tm_mon, expected.tm_mon + 1);
  EXPECT_EQ(stamp.tm_mday, expected.tm_mday);
  EXPECT_EQ(stamp.tm_year, expected.tm_year + 1900);
  EXPECT_EQ(stamp.tm_hour * 3600 + stamp.tm_min * 60 + stamp.tm_sec,
            expected.tm_hour * 3600 + expected.tm_min * 60 + expected.tm_sec);
}

TEST(ReadIniTest, OutOfRangeValuesKeepTheSettingAndSaySo) {
  Rig rig;
  const fs::path path = rig.folder.path() / "Quorvel.ini";
  WriteFile(path, "delay=500\r\ndelay=2147483648\r\ntop=1e39\r\nleft=-1e39\r\n");
  rig.state().Delay = 0;
  rig.form.ReadIni();
  EXPECT_EQ(rig.state().Delay, 500);
  EXPECT_EQ(rig.host.GetWindowPosition().top, 1500);
  EXPECT_EQ(rig.host.GetWindowPosition().left, 2250);
  const std::string quoted = "\"" + path.string() + "\"";
  EXPECT_EQ(rig.host.Messages(),
            (std::vector<std::string>{
                "The pause in the settings file " + quoted +
                    ", delay=2147483648, must lie between -2147483648 and 2147483647 "
                    "milliseconds; the pause stays at 500 ms.",
                "The entry top=1e39 in the settings file " + quoted +
                    " lies beyond any screen; the window stays where it is.",
                "The entry left=-1e39 in the settings file " + quoted +
                    " lies beyond any screen; the window stays where it is."}));
}

#ifdef __linux__
TEST(ReadIniTest, UnreadableFileLeavesTheDefaultsAndSaysSo) {
  Rig rig;
  const fs::path path = rig.folder.path() / "Quorvel.ini";
  // A file whose first bytes cannot be read: the start of this process's own memory.
  fs::create_symlink("/proc/self/mem", path);
  rig.state().Delay = 0;
  rig.state().Pausing = true;
  rig.form.ReadIni();
  EXPECT_EQ(rig.state().Delay, 18000);
  EXPECT_EQ(rig.host.GetWindowPosition().top, 1500);
  EXPECT_TRUE(rig.state().Pausing);
  EXPECT_EQ(rig.host.Messages(),
            std::vector<std::string>{"The settings file \"" + path.string() +
                                     "\" could not be read (Input/output error). The window "
                                     "stays where it is and the pause is 18000 ms."});
}
#endif

TEST(WriteIniTest, ReplacesTheWholeFileAndLeavesNoTemporaryFile) {
  Rig rig;
  const fs::path path = rig.folder.path() / "Quorvel.ini";
  WriteFile(path, "' hand-edited\r\nfoo=bar\r\n" + std::string(500, 'x'));
  rig.state().IniPath = path.string();
  rig.state().Delay = 4321;
  rig.host.MoveWindow({60, 75});
  rig.form.WriteIni();
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.substr(79), "\r\n\r\ntop=60\r\nleft=75\r\ndelay=4321\r\n");
  EXPECT_EQ(text.substr(0, 49), kHeader);
  EXPECT_FALSE(fs::exists(TemporaryPathFor(path.string())));
  EXPECT_TRUE(rig.host.Messages().empty());
}

// A program folder whose name is not plain ASCII: the file is created, written and read there,
// on every system.
TEST(WriteIniTest, FolderNamesBeyondAsciiAreKept) {
  TempFolder temp;
  const std::string folder = TextOf(temp.path()) + kPathSeparator + "Scans \u00e9t\u00e9 \u20ac";
  fs::create_directories(PathOf(folder));
  VirtualClock clock;
  SimulatedDesktop desktop(clock, folder);
  HeadlessHost host(clock);
  ScannerForm form(desktop, host);
  form.ReadIni();  // creates the file
  ASSERT_TRUE(fs::exists(PathOf(folder) / "Quorvel.ini"));
  form.State().Delay = 2500;
  form.WriteIni();
  form.State().Delay = 0;
  form.ReadIni();
  EXPECT_EQ(form.State().Delay, 2500);
  EXPECT_TRUE(host.Messages().empty());
}

// Each way a write can fail leaves the previous file as it was and names the path.
TEST(WriteIniTest, FailedWriteLeavesTheOldFileIntact) {
  enum Fault { kTemporaryIsFolder, kDiskFull, kTargetIsFolder };
  const struct {
    Fault fault;
    const char* reason;
  } cases[] = {{kTemporaryIsFolder, "Is a directory"},
#ifdef __linux__
               {kDiskFull, "No space left on device"},
#endif
               {kTargetIsFolder, "Is a directory"}};
  for (const auto& c : cases) {
    Rig rig;
    const fs::path path = rig.folder.path() / "Quorvel.ini";
    const fs::path temporary = TemporaryPathFor(path.string());
    const std::string old_text = "' old settings\r\ndelay=777\r\n";
    switch (c.fault) {
      case kTemporaryIsFolder:
        WriteFile(path, old_text);
        fs::create_directory(temporary);
        break;
      case kDiskFull:
        WriteFile(path, old_text);
        fs::create_symlink("/dev/full", temporary);
        break;
      case kTargetIsFolder:
        fs::create_directories(path / "inside");
        break;
    }
    rig.state().IniPath = path.string();
    rig.form.WriteIni();
    EXPECT_THAT(
        rig.host.Messages(),
        ElementsAre(ReasonMessage("The settings could not be saved to \"" + path.string() + "\" (",
                                  c.reason, "). The settings file there is unchanged.")));
    if (c.fault == kTargetIsFolder) {
      EXPECT_TRUE(fs::is_directory(path / "inside"));
      EXPECT_FALSE(fs::exists(temporary));
    } else {
      EXPECT_EQ(ReadFile(path), old_text) << c.reason;
    }
    if (c.fault == kDiskFull) {
      EXPECT_FALSE(fs::is_symlink(temporary)) << "temporary left";
    }
    if (c.fault == kTemporaryIsFolder) {
      EXPECT_TRUE(fs::is_directory(temporary));
    }
  }
}

}  // namespace
}  // namespace quorvel
