#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "tests/rig.h"

namespace quorvel {
namespace {

using harness::Rig;

// Local time as the given zone sees it, for as long as the guard lives.
class ZoneGuard {
 public:
  explicit ZoneGuard(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    Set(zone);
  }
  ~ZoneGuard() { Set(old_ ? old_->c_str() : ""); }
  ZoneGuard(const ZoneGuard&) = delete;
  ZoneGuard& operator=(const ZoneGuard&) = delete;

 private:
  static void Set(const char* zone) {
    static std::string setting;  // putenv keeps the string itself
    setting = std::string("TZ=") + zone;
    putenv(setting.data());
    tzset();
  }
  std::optional<std::string> old_;
};

WallClock::time_point At(std::time_t seconds) {
  return WallClock::from_time_t(seconds);
}

constexpr const char* kHeader = "' INI file for Odrin Teskel's ScanJet Quorveler\r\n";

TEST(SettingsFileTest, IniPathJoinsTheFolderPlainly) {
  EXPECT_EQ(IniPathFor("C:\\Program Files\\Quorvel", '\\'),
            "C:\\Program Files\\Quorvel\\Quorvel.ini");
  EXPECT_EQ(IniPathFor("C:\\", '\\'), "C:\\\\Quorvel.ini");
  EXPECT_EQ(IniPathFor("/", '/'), "//Quorvel.ini");
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
  const std::string path = IniPathFor(rig.files.ProgramFolder(), kPathSeparator);
  rig.files.PutFile(path, c.file);
  rig.state().Delay = 0;
  rig.state().Pausing = true;
  rig.form.Load();
  EXPECT_EQ(rig.state().Delay, c.delay) << c.file;
  EXPECT_EQ(rig.host.GetWindowPosition().top, c.top) << c.file;
  EXPECT_EQ(rig.host.GetWindowPosition().left, c.left) << c.file;
  EXPECT_FALSE(rig.state().Pausing) << c.file;
  EXPECT_TRUE(rig.host.Messages().empty()) << c.file;
  EXPECT_EQ(rig.files.Contents(path), c.file) << "the reader never writes";
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
  rig.form.Load();
  const std::string path = IniPathFor(rig.files.ProgramFolder(), kPathSeparator);
  EXPECT_EQ(rig.state().IniPath, path);
  EXPECT_EQ(rig.state().Delay, 18000);
  EXPECT_TRUE(rig.state().Pausing);
  EXPECT_EQ(rig.files.Contents(path), SettingsText({1500, 2250}, 18000, rig.desktop.Now()));
}

TEST(ReadIniTest, AProgramFolderThatCannotBeWrittenSendsTheSettingsToTheUsersFolder) {
  Rig rig;
  rig.files.Refuse(rig.files.ProgramFolder(), "Permission denied");
  rig.form.Load();
  const std::string path = IniPathFor(rig.files.UserSettingsFolder("Quorvel"), kPathSeparator);
  EXPECT_EQ(rig.state().IniPath, path);
  EXPECT_TRUE(rig.files.Contents(path)) << "made, with its folder";
  EXPECT_TRUE(rig.host.Messages().empty());
}

TEST(ReadIniTest, ValuesAndFilesThatCannotBeUsedKeepTheSettingsAndSaySo) {
  Rig rig;
  const std::string path = IniPathFor(rig.files.ProgramFolder(), kPathSeparator);
  const std::string quoted = "\"" + path + "\"";
  rig.files.PutFile(path, "delay=500\r\ndelay=2147483648\r\ntop=1e39\r\nleft=-1e39\r\n");
  rig.state().Delay = 0;
  rig.form.Load();
  EXPECT_EQ(rig.state().Delay, 500);
  EXPECT_EQ(rig.host.GetWindowPosition().top, 1500);
  EXPECT_EQ(rig.host.GetWindowPosition().left, 2250);
  EXPECT_EQ(rig.host.Messages(),
            (std::vector<std::string>{
                "The pause in the settings file " + quoted +
                    ", delay=2147483648, must lie between -2147483648 and 2147483647 "
                    "milliseconds; the pause stays at 500 ms.",
                "The entry top=1e39 in the settings file " + quoted +
                    " lies beyond any screen; the window stays where it is.",
                "The entry left=-1e39 in the settings file " + quoted +
                    " lies beyond any screen; the window stays where it is."}));

  Rig unreadable;
  unreadable.files.PutFile(path, "delay=5\r\n");
  unreadable.files.Refuse(path, "Input/output error");
  unreadable.state().Delay = 0;
  unreadable.state().Pausing = true;
  unreadable.form.Load();
  EXPECT_EQ(unreadable.state().Delay, 18000);
  EXPECT_TRUE(unreadable.state().Pausing);
  EXPECT_EQ(unreadable.host.Messages(),
            std::vector<std::string>{"The settings file " + quoted +
                                     " could not be read (Input/output error). The window stays "
                                     "where it is and the pause is 18000 ms."});
}

TEST(WriteIniTest, ExitWritesTheWholeFileOrSaysWhyNot) {
  ZoneGuard zone("UTC0");
  Rig rig;
  const std::string path = IniPathFor(rig.files.ProgramFolder(), kPathSeparator);
  rig.files.PutFile(path, "' hand-edited\r\nfoo=bar\r\n");
  rig.form.Load();
  rig.state().Delay = 4321;
  rig.host.MoveWindow({60, 75});
  rig.Click(ControlId::kExitCommand);
  EXPECT_EQ(rig.files.Contents(path), SettingsText({60, 75}, 4321, rig.desktop.Now()));
  EXPECT_TRUE(rig.host.QuitRequested());

  Rig refused;
  refused.files.PutFile(path, "delay=5\r\n");
  refused.files.Refuse(refused.files.ProgramFolder(), "Read-only file system");
  refused.form.Load();
  EXPECT_EQ(refused.state().Delay, 5) << "the file beside the program is read";
  refused.Click(ControlId::kExitCommand);
  EXPECT_EQ(refused.host.Messages(),
            std::vector<std::string>{"The settings could not be saved to \"" + path +
                                     "\" (Read-only file system). The settings file there is "
                                     "unchanged."});
  EXPECT_TRUE(refused.host.QuitRequested());
}

}  // namespace
}  // namespace quorvel
