#include "desktop/key_string.h"

#include <gtest/gtest.h>

#include "common/utf8.h"
#include "common/virtual_clock.h"

namespace quorvel {
namespace {

TEST(KeyStringTest, KeepsKeysApartFromText) {
  KeyString keys;
  keys.Alt('n').Text("a%s").Enter().Tab(2);
  ASSERT_EQ(keys.Keys().size(), 7u);
  EXPECT_EQ(keys.Keys()[0], (Key{Key::Kind::kAltChord, U'n'}));
  EXPECT_EQ(keys.Keys()[2], (Key{Key::Kind::kCharacter, U'%'}));
  EXPECT_EQ(keys.Keys()[3], (Key{Key::Kind::kCharacter, U's'}));
  EXPECT_EQ(keys.ToText(), "%na%s\r\t\t");
}

// Latin-1 bytes, an overlong form, a surrogate and a sequence cut short keep their bytes.
TEST(KeyStringTest, DecodesUtf8AndKeepsStrayBytes) {
  const std::pair<std::string, std::u32string> cases[] = {{"abc", U"abc"},
                                                          {"\xC3\xA9t\xC3\xA9", U"\u00E9t\u00E9"},
                                                          {"\xE2\x82\xAC", U"\u20AC"},
                                                          {"\xF0\x9F\x93\x84", U"\U0001F4C4"},
                                                          {"\xE9t\xE9", U"\u00E9t\u00E9"},
                                                          {"\xC0\xAF", U"\u00C0\u00AF"},
                                                          {"\xED\xA0\x80", U"\u00ED\u00A0\u0080"},
                                                          {"\xE2\x82", U"\u00E2\u0082"}};
  for (const auto& [utf8, chars] : cases) {
    EXPECT_EQ(DecodeUtf8(utf8), chars);
    std::string round;
    for (char32_t ch : chars) AppendUtf8(round, ch);
    EXPECT_EQ(DecodeUtf8(round), chars);
  }
}

TEST(VirtualClockTest, RunsEventsInTimeOrderAndNestedPumpsRunWhatIsDue) {
  VirtualClock clock;
  std::string order;
  clock.At(200, [&] { order += "c"; });
  clock.At(100, [&] {
    order += "a";
    clock.At(100, [&] { order += "b"; });  // due now: runs in the nested pump
    clock.RunDue();
  });
  clock.Cancel(clock.At(150, [&] { order += "x"; }));
  clock.AdvanceTo(199);
  EXPECT_EQ(order, "ab");
  EXPECT_EQ(clock.Now(), 199);
  clock.Advance(1);
  EXPECT_EQ(order, "abc");
  EXPECT_EQ(clock.NextEventTime(), -1);
}

}  // namespace
}  // namespace quorvel
