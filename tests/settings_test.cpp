#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <tuple>
#include <utility>

#include "tests/rig.h"

namespace quorvel {
namespace {

using enum ControlId;

using harness::Rig;
using harness::Texts;

// Local time as the given zone sees it, for as long as the guard lives.
struct ZoneGuard {
  explicit ZoneGuard(const char* zone) { Set(zone); }
  ~ZoneGuard() { Set(old.c_str()); }
  static void Set(const char* zone) {
    static std::string setting;  // putenv keeps the string itself
    setting = std::string("TZ=") + zone;
    putenv(setting.data());
    tzset();
  }
  std::string old = std::getenv("TZ") ? std::getenv("TZ") : "";
};

WallClock::time_point At(std::time_t seconds) {
  return WallClock::from_time_t(seconds);
}

std::string IniPath(Rig& rig) {
  return IniPathFor(rig.files.ProgramFolder(), kPathSeparator);
}

// The path joins the folder plainly; the text is six lines, byte for byte, with whole twips, and
// its stamp shows the local date and time east or west of Greenwich.
TEST(SettingsFileTest, WriterMakesTheSixLinesByteForByteWithWholeTwips) {
  const std::tuple<const char*, std::time_t, const char*> stamps[] = {
      {"IST-5:30", 1796506207, "' 12-06-2026    -     03:00:07"},
      {"EST5", 1798859045, "' 01-01-2027    -     22:04:05"}};
  for (const auto& [zone, seconds, line] : stamps) {
    ZoneGuard guard(zone);
    EXPECT_EQ(StampLine(At(seconds)), line) << zone;
  }
  EXPECT_EQ(IniPathFor("C:\\Program Files\\Quorvel", '\\'),
            "C:\\Program Files\\Quorvel\\Quorvel.ini");
  EXPECT_EQ(IniPathFor("/", '/'), "//Quorvel.ini");
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

TEST(SettingsFileTest, ReaderSplitsItemsAtCommasAndLineEndsAndAppliesEveryEntryInOrder) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
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
  // Every entry in order, on a window at top 1, left 2 with a pause of 3 ms; positions are read
  // in single precision.
  const std::tuple<const char*, std::int32_t, double, double> entries[] = {
      {"DELAY=5000,Top=abc,LEFT=-120", 5000, 0, -120},
      {"delay =5000,xdelay=5000", 3, 1, 2},
      {"delay= 7", 7, 1, 2},
      {"delay=2.5", 2, 1, 2},
      {"delay=3.5", 4, 1, 2},
      {"delay=100,delay=200", 200, 1, 2},
      {"delay=abc", 0, 1, 2},
      {"delay=-5", -5, 1, 2},
      {"delay=65536000", 65536000, 1, 2},
      {"top=100.25,left=8", 3, 100.25, 8}};

  for (const auto& [file, delay, top, left] : entries) {
    const Settings read = ApplySettings(file, {.position = {1, 2}, .delay = 3}, "x");
    EXPECT_EQ(std::tuple(read.delay, read.position.top, read.position.left, read.messages.size()),
              std::tuple(delay, top, left, 0u))
        << file;
  }
  EXPECT_EQ(ApplySettings("top=0.1", {}, "x").position.top, static_cast<double>(0.1f));
}

// A missing file is made beside the program, or in the user's folder (made too) when the program's
// folder cannot be written; a file that cannot be read is said so. The pause is the default one,
// and a running pause goes on.
TEST(ReadIniTest, AMissingOrUnreadableFileLeavesTheDefaults) {
  enum { kMissing, kFolderRefused, kUnreadable };
  for (const int file : {kMissing, kFolderRefused, kUnreadable}) {
    Rig rig;
    if (file == kFolderRefused) rig.files.Refuse(rig.files.ProgramFolder(), "Permission denied");
    if (file == kUnreadable) {
      rig.files.PutFile(IniPath(rig), "delay=5\r\n");
      rig.files.Refuse(IniPath(rig), "Input/output error");
    }
    rig.state().Delay = 0;
    rig.state().Pausing = true;
    rig.form.Load();
    const std::string path =
        file == kFolderRefused ? IniPathFor(rig.files.UserSettingsFolder("Quorvel"), kPathSeparator)
                               : IniPath(rig);
    EXPECT_EQ(std::tuple(rig.state().IniPath, rig.state().Delay, rig.state().Pausing),
              std::tuple(path, 18000, true));
    if (file == kUnreadable) {
      EXPECT_EQ(rig.host.Messages(), Texts{"The settings file \"" + path +
                                           "\" could not be read (Input/output error). The window "
                                           "stays where it is and the pause is 18000 ms."});
    } else {
      EXPECT_EQ(std::tuple(rig.files.Contents(path), rig.host.Messages().size()),
                std::tuple(SettingsText({1500, 2250}, 18000, rig.desktop.Now()), 0u));
    }
  }
}

// A file beside the program is read and applied in order, never written on loading, and a running
// pause ends; values that cannot be used keep the setting before them (a pause of 0 is the default
// pause) and say so. On exit, a message says why the file cannot be written, and the program ends
// all the same.
TEST(ReadIniTest, ValuesAndFilesThatCannotBeUsedKeepTheSettingsAndSaySo) {
  Rig rig;
  const std::string quoted = "\"" + IniPath(rig) + "\"";
  const std::string file =
      "' INI\r\n\r\ntop=300\r\nleft=450\r\ndelay=5\r\ndelay=2147483648\r\ntop=1e39\r\nleft=-1e39"
      "\r\ndelay=0\r\n";
  rig.files.PutFile(IniPath(rig), file);
  rig.files.Refuse(rig.files.ProgramFolder(), "Read-only file system");
  rig.state().Pausing = true;
  rig.form.Load();
  EXPECT_EQ(std::tuple(rig.state().Delay, rig.host.GetWindowPosition().top,
                       rig.host.GetWindowPosition().left, rig.state().Pausing,
                       rig.files.Contents(IniPath(rig))),
            std::tuple(18000, 300, 450, false, file));
  Texts messages{"The pause in the settings file " + quoted +
                     ", delay=2147483648, must lie between -2147483648 and 2147483647 "
                     "milliseconds; the pause stays at 5 ms.",
                 "The entry top=1e39 in the settings file " + quoted +
                     " lies beyond any screen; the window stays where it is.",
                 "The entry left=-1e39 in the settings file " + quoted +
                     " lies beyond any screen; the window stays where it is."};
  EXPECT_EQ(rig.host.Messages(), messages);
  rig.Click(kExitCommand);
  messages.push_back("The settings could not be saved to \"" + IniPath(rig) +
                     "\" (Read-only file system). The settings file there is unchanged.");
  EXPECT_EQ(rig.host.Messages(), messages);
  EXPECT_TRUE(rig.host.QuitRequested());
}

// The life of the operator window: EXIT and the close command, during a pause and with the picker
// made, write the settings once, close the picker and end at once; EXIT in the middle of a tick
// ends the tick too. After the end nothing writes the settings again, and no timer or event runs.
TEST(WindowEventsTest, ExitOrCloseWritesTheSettingsOnceAndEndsAtOnceEvenInTheMiddleOfATick) {
  enum { kExit, kClose, kExitInATick };
  for (const int end : {kExit, kClose, kExitInATick}) {
    Rig rig;
    rig.form.Load();
    if (end == kExitInATick) {
      rig.StartSeries({"a", "b"});
      bool clicked = false;
      rig.host.on_pump = [&] {
        if (!std::exchange(clicked, true)) rig.Click(kExitCommand);
      };
      rig.steps.clear();
      rig.clock.Advance(2500);
      EXPECT_TRUE(rig.steps.empty()) << "the tick went on after EXIT";
    } else {
      rig.form.FocusChanged(kSeedText, kSeedNumberText);  // picker made
      ASSERT_NE(rig.form.Picker(), nullptr);
      rig.host.MoveWindow({600, 900});
      rig.state().Delay = 1234;
      rig.cycle().Meter(9, "Waiting", 18000);
      end == kExit ? rig.Click(kExitCommand) : rig.form.Terminate();
      EXPECT_EQ(std::tuple(rig.files.Contents(IniPath(rig)), rig.form.Picker()->Visible()),
                std::tuple(SettingsText({600, 900}, 1234, rig.desktop.Now()), false));
      rig.clock.Advance(20000);
      EXPECT_TRUE(rig.state().Pausing) << "the pause timer fired after the end";
    }
    ASSERT_TRUE(rig.host.QuitRequested()) << end;
    rig.files.PutFile(IniPath(rig), "gone");
    int calls = 0;
    rig.host.on_pump = [&] { ++calls; };
    rig.host.on_modal = [&](SaveDirForm&) { ++calls; };
    rig.form.Terminate();
    rig.Click(kExitCommand);
    rig.form.FocusChanged(kSeedText, kSeedNumberText);
    rig.clock.Advance(60000);
    EXPECT_EQ(std::tuple(rig.files.Contents(IniPath(rig)), calls), std::tuple("gone", 0)) << end;
  }
}

}  // namespace
}  // namespace quorvel
