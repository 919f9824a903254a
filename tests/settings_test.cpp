#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "tests/rig.h"

namespace quorvel {
namespace {

using harness::Rig;

// Local time as the given zone sees it, for as long as the guard lives.
struct ZoneGuard {
  explicit ZoneGuard(const char* zone) : old(std::getenv("TZ") ? std::getenv("TZ") : "") {
    Set(zone);
  }
  ~ZoneGuard() { Set(old.c_str()); }
  static void Set(const char* zone) {
    static std::string setting;  // putenv keeps the string itself
    setting = std::string("TZ=") + zone;
    putenv(setting.data());
    tzset();
  }
  std::string old;
};

WallClock::time_point At(std::time_t seconds) {
  return WallClock::from_time_t(seconds);
}

std::string IniPath(Rig& rig) {
  return IniPathFor(rig.files.ProgramFolder(), kPathSeparator);
}

TEST(SettingsFileTest, IniPathJoinsTheFolderPlainly) {
  EXPECT_EQ(IniPathFor("C:\\Program Files\\Quorvel", '\\'),
            "C:\\Program Files\\Quorvel\\Quorvel.ini");
  EXPECT_EQ(IniPathFor("/", '/'), "//Quorvel.ini");
}

TEST(SettingsFileTest, StampLineShowsLocalDateAndTime) {
  const struct {
    const char* zone;
    std::time_t seconds;
    const char* line;
  } cases[] = {
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

TEST(SettingsFileTest, WriterMakesTheSixLinesByteForByteWithWholeTwips) {
  ZoneGuard zone("UTC0");
  EXPECT_EQ(SettingsText({1500, 2250}, 18000, At(1796506207)),
            "' INI file for Odrin Teskel's ScanJet Quorveler\r\n"
            "' 12-05-2026    -     21:30:07\r\n\r\ntop=1500\r\nleft=2250\r\ndelay=18000\r\n");
  const std::pair<double, const char*> cases[] = {
      {1500.5, "1500"}, {1501.5, "1502"}, {1500.4, "1500"}, {-7.5, "-8"}, {0.5, "0"}};
  for (const auto& [twips, text] : cases) {
    EXPECT_EQ(SettingsText({twips, 0}, -1, At(0)).substr(83),
              "top=" + std::string(text) + "\r\nleft=0\r\ndelay=-1\r\n")
        << twips;
  }
}

TEST(SettingsFileTest, ItemsSplitAtCommasAndLineEnds) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"' c\r\n' 12-05-2026\r\n\r\ntop=5\r\n", {"top=5"}},
      {"\t delay=1\r\n", {"delay=1"}},
      {"delay=18,000\r\n", {"delay=18", "000"}},
      {"'note,delay=100\r\n", {"delay=100"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"x ,  y,,\r\n", {"x ", "y"}},
      {"\"delay=5,000\" tail,top=1", {"delay=5,000", "top=1"}},
      {"\"'quoted comment\"", {}},
      {"   \r\n  ", {}},
  };
  for (const auto& [text, items] : cases) EXPECT_EQ(SettingsItems(text), items) << text;
}

// Every entry in order, on a window at top 1, left 2 with a pause of 3 ms; positions are read
// in single precision.
TEST(SettingsFileTest, ReaderAppliesEveryEntryInOrder) {
  const struct {
    const char* file;
    std::int32_t delay;
    double top, left;
  } cases[] = {{"DELAY=5000", 5000, 1, 2},
               {"delay =5000", 3, 1, 2},
               {"xdelay=5000", 3, 1, 2},
               {"delay= 7", 7, 1, 2},
               {"delay=2.5", 2, 1, 2},
               {"delay=3.5", 4, 1, 2},
               {"delay=18,000", 18, 1, 2},
               {"delay=100\r\ndelay=200", 200, 1, 2},
               {"delay=0", 0, 1, 2},
               {"delay=abc", 0, 1, 2},
               {"delay=-5", -5, 1, 2},
               {"delay=&H10", 16, 1, 2},
               {"delay=65536000", 65536000, 1, 2},
               {"\"delay=5,000\"", 5, 1, 2},
               {"Top=abc", 3, 0, 2},
               {"LEFT=-120", 3, 1, -120},
               {"top=7,left=8", 3, 7, 8},
               {"top=100.25", 3, 100.25, 2},
               {"top=5\r\ntop=6", 3, 6, 2},
               {"top=0.1", 3, static_cast<double>(0.1f), 2}};
  for (const auto& c : cases) {
    const Settings read = ApplySettings(c.file, {.position = {1, 2}, .delay = 3}, "x");
    EXPECT_EQ(read.delay, c.delay) << c.file;
    EXPECT_EQ(read.position.top, c.top) << c.file;
    EXPECT_EQ(read.position.left, c.left) << c.file;
    EXPECT_TRUE(read.messages.empty()) << c.file;
  }
}

// A pause of 0, read or left, is the default pause.
TEST(ReadIniTest, LoadAppliesTheFileAndNeverWritesIt) {
  const struct {
    std::string file;
    std::int32_t delay;
    double top, left;
  } cases[] = {
      {"' INI\r\n' 12-05-2026    -     21:30:07\r\n\r\ntop=300\r\nleft=450\r\ndelay=5000\r\n", 5000,
       300, 450},
      {"delay=abc\r\n", 18000, 1500, 2250}};
  for (const auto& c : cases) {
    Rig rig;
    rig.files.PutFile(IniPath(rig), c.file);
    rig.state().Delay = 0;
    rig.state().Pausing = true;
    rig.form.Load();
    EXPECT_EQ(rig.state().Delay, c.delay);
    EXPECT_EQ(rig.host.GetWindowPosition().top, c.top);
    EXPECT_EQ(rig.host.GetWindowPosition().left, c.left);
    EXPECT_FALSE(rig.state().Pausing);
    EXPECT_TRUE(rig.host.Messages().empty());
    EXPECT_EQ(rig.files.Contents(IniPath(rig)), c.file);
  }
}

TEST(ReadIniTest, MissingFileIsCreatedWithoutTouchingPausing) {
  ZoneGuard zone("UTC0");
  Rig rig;
  rig.state().Delay = 0;
  rig.state().Pausing = true;
  rig.form.Load();
  EXPECT_EQ(rig.state().IniPath, IniPath(rig));
  EXPECT_EQ(rig.state().Delay, 18000);
  EXPECT_TRUE(rig.state().Pausing);
  EXPECT_EQ(rig.files.Contents(IniPath(rig)), SettingsText({1500, 2250}, 18000, rig.desktop.Now()));
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
  const std::string quoted = "\"" + IniPath(rig) + "\"";
  rig.files.PutFile(IniPath(rig), "delay=500\r\ndelay=2147483648\r\ntop=1e39\r\nleft=-1e39\r\n");
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
  unreadable.files.PutFile(IniPath(rig), "delay=5\r\n");
  unreadable.files.Refuse(IniPath(rig), "Input/output error");
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
  rig.files.PutFile(IniPath(rig), "' hand-edited\r\nfoo=bar\r\n");
  rig.form.Load();
  rig.state().Delay = 4321;
  rig.host.MoveWindow({60, 75});
  rig.Click(ControlId::kExitCommand);
  EXPECT_EQ(rig.files.Contents(IniPath(rig)), SettingsText({60, 75}, 4321, rig.desktop.Now()));
  EXPECT_TRUE(rig.host.QuitRequested());

  Rig refused;
  refused.files.PutFile(IniPath(rig), "delay=5\r\n");
  refused.files.Refuse(refused.files.ProgramFolder(), "Read-only file system");
  refused.form.Load();
  EXPECT_EQ(refused.state().Delay, 5) << "the file beside the program is read";
  refused.Click(ControlId::kExitCommand);
  EXPECT_EQ(refused.host.Messages(),
            std::vector<std::string>{"The settings could not be saved to \"" + IniPath(rig) +
                                     "\" (Read-only file system). The settings file there is "
                                     "unchanged."});
  EXPECT_TRUE(refused.host.QuitRequested());
}

}  // namespace
}  // namespace quorvel
