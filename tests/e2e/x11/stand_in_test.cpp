// The stand-in's command line and the spelling of its key log, and the keysyms and keycodes the
// X11 port types characters with.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/x11_keyboard.h"
#include "key_log.h"
#include "stand_in_options.h"

namespace quorvel {
namespace {

std::optional<StandInOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string message;
  auto options = ParseStandInOptions(args, message);
  if (error != nullptr) *error = message;
  return options;
}

TEST(StandInOptionsTest, ReadsEveryOption) {
  const auto options =
      Parse({"--folder", "/tmp/scans", "--pages", "6", "--first-scan-ms", "100", "--scan-ms",
             "1500", "--dialog-ms", "0", "--fail-saves", "2,5,2", "--operator-saves-after-ms",
             "800", "--log", "/tmp/log", "--position", "12,34"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->scanner.save_folder, "/tmp/scans");
  EXPECT_EQ(options->scanner.pages, 6);
  EXPECT_EQ(options->scanner.first_scan_ms, 100);
  EXPECT_EQ(options->scanner.scan_ms, 1500);
  EXPECT_EQ(options->scanner.dialog_ms, 0);
  EXPECT_EQ(options->scanner.operator_saves_after_ms, 800);
  EXPECT_EQ(options->failing_saves, (std::set<int>{2, 5}));
  EXPECT_EQ(options->log_path, "/tmp/log");
  EXPECT_EQ(options->left, 12);
  EXPECT_EQ(options->top, 34);
}

TEST(StandInOptionsTest, DefaultsLeaveTheOperatorOutAndNoSaveFailing) {
  const auto options = Parse({"--folder", "x"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->scanner.operator_saves_after_ms, -1);
  EXPECT_TRUE(options->failing_saves.empty());
  EXPECT_TRUE(options->log_path.empty());
}

TEST(StandInOptionsTest, NamesTheMistake) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{}, "--folder is required"},
      {{"--folder", ""}, "bad value \"\" for --folder"},
      {{"--folder", "x", "--pages"}, "option --pages needs a value"},
      {{"--folder", "x", "--pages", "-1"}, "bad value \"-1\" for --pages"},
      {{"--folder", "x", "--pages", "3x"}, "bad value \"3x\" for --pages"},
      {{"--folder", "x", "--scan-ms", ""}, "bad value \"\" for --scan-ms"},
      {{"--folder", "x", "--fail-saves", "1,,2"}, "bad value \"1,,2\" for --fail-saves"},
      {{"--folder", "x", "--fail-saves", "0"}, "bad value \"0\" for --fail-saves"},
      {{"--folder", "x", "--position", "12"}, "bad value \"12\" for --position"},
      {{"--folder", "x", "--colour", "red"}, "unknown option --colour"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(Parse(c.args, &error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(KeyLogTest, SpellsEveryKindOfKey) {
  KeyString keys;
  keys.Alt('n').Enter().Tab().Text("a%{é名");
  std::vector<std::string> spelled;
  for (const Key& key : keys.Keys()) spelled.push_back(SpellKey(key));
  EXPECT_EQ(spelled,
            (std::vector<std::string>{"%n", "{ENTER}", "{TAB}", "a", "%", "{", "é", "名"}));
}

TEST(X11KeyboardTest, TypesLatin1AsItselfAndTheRestAsUnicodeKeysyms) {
  struct Case {
    char32_t character;
    unsigned long keysym;
  };
  const Case cases[] = {{U'a', 0x61},
                        {U'%', 0x25},
                        {U' ', 0x20},
                        {U'\u00e9', 0xe9},
                        {U'\u00a0', 0xa0},
                        {U'\u20ac', 0x010020ac},
                        {U'\u540d', 0x0100540d},
                        {U'\x7f', 0x0100007f},
                        {U'\x01', 0x01000001}};
  for (const Case& c : cases) {
    EXPECT_EQ(KeysymForCharacter(c.character), c.keysym) << static_cast<unsigned>(c.character);
  }
}

TEST(X11KeymapTest, TypesWithTheLowestKeycodeAndBorrowsTheLowestEmptyOne) {
  using Stroke = X11Keymap::Stroke;
  // Keycodes 8 to 11, plain and shifted: none, "9 (", none, and "(" as evdev's keypad has it.
  X11Keymap keymap{8, 2, {NoSymbol, NoSymbol, XK_9, XK_parenleft, 0, 0, XK_parenleft, 0}};
  EXPECT_EQ(keymap.Find(XK_parenleft), (Stroke{9, true}));
  EXPECT_EQ(keymap.LowestEmpty(), KeyCode{8});
  keymap.Set(8, XK_eacute);
  EXPECT_EQ(keymap.Find(XK_eacute), (Stroke{8, false}));
  EXPECT_EQ(keymap.LowestEmpty(), KeyCode{10});
}

}  // namespace
}  // namespace quorvel
