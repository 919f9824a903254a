// The program's own number and text rules, and the UTF-8 of the names it types.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <tuple>

#include "common/number_text.h"
#include "common/utf8.h"
#include "desktop/key_string.h"

namespace quorvel {
namespace {

// Under a locale whose decimal mark is a comma too: the mark is always the point.
TEST(LeadingNumberTest, ReadsTheNumberAtTheStartWithThePointAsMarkInAnyLocale) {
#ifdef _WIN32
  const char* const comma_locale = "German_Germany.1252";
#else
  const char* const comma_locale = "de_DE.UTF-8";  // the core stage installs it
#endif
  const bool comma = std::setlocale(LC_NUMERIC, comma_locale) != nullptr;
  EXPECT_EQ(comma ? std::localeconv()->decimal_point : std::string(","), ",");
  const std::pair<const char*, double> cases[] = {
      {"", 0},        {"abc", 0},     {"12", 12},     {"12abc", 12}, {"  7", 7},    {"1 2 3", 123},
      {"\t-\n4", -4}, {"+5", 5},      {"-", 0},       {"2.5", 2.5},  {".5", 0.5},   {"5.", 5},
      {"1.2.3", 1.2}, {"1e3", 1000},  {"1E-2", 0.01}, {"1e", 1},     {"1e+x", 1},   {"2e2x", 200},
      {"&HFF", 255},  {"&hff", 255},  {"&O17", 15},   {"&o8", 0},    {"&H", 0},     {"&X1", 0},
      {"\r5", 0},     {"18,000", 18}, {"1e-400", 0},  {"-0", 0},     {"3.25", 3.25}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(ParseLeadingNumber(text), value) << text;
  EXPECT_TRUE(std::isinf(ParseLeadingNumber("1e999")));
  EXPECT_LT(ParseLeadingNumber("-1e999"), 0);
  std::setlocale(LC_NUMERIC, "C");
  if (!comma) GTEST_SKIP() << "read in the C locale only: no locale " << comma_locale;
}

TEST(WholeNumberTest, HalvesGoToTheEvenNeighbourAndConvertWithinRangeOnly) {
  const std::pair<double, double> cases[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},   {3.5, 4},
                                             {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {0.4, 0},
                                             {0.6, 1},  {-0.6, -1}, {7, 7}};
  for (const auto& [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
  // Whole numbers within range only, written as plain decimals.
  EXPECT_EQ(std::tuple(ToInt16(32767.4), ToInt16(32767.5), ToInt16(-32768.5), ToInt16(-32769)),
            std::tuple(32767, std::nullopt, -32768, std::nullopt));
  EXPECT_EQ(std::tuple(ToInt32(2147483647.0), ToInt32(2147483648.0), ToInt32(-2147483648.0),
                       ToInt32(std::numeric_limits<double>::infinity()), ToInt32(std::nan(""))),
            std::tuple(2147483647, std::nullopt, std::numeric_limits<std::int32_t>::min(),
                       std::nullopt, std::nullopt));
  EXPECT_EQ(DecimalText(-18000) + DecimalText(0), "-180000");
}

// Latin-1 bytes, an overlong form, a surrogate and a sequence cut short keep their bytes.
TEST(KeyStringTest, DecodesUtf8AndKeepsStrayBytes) {
  const std::pair<std::string, std::u32string> cases[] = {
      {"\xC3\xA9t\xC3\xA9", U"\u00E9t\u00E9"}, {"\xE2\x82\xAC", U"\u20AC"},
      {"\xF0\x9F\x93\x84", U"\U0001F4C4"},     {"\xE9t\xE9", U"\u00E9t\u00E9"},
      {"\xC0\xAF", U"\u00C0\u00AF"},           {"\xE0\x82\xA9", U"\u00E0\u0082\u00A9"},
      {"\xED\xA0\x80", U"\u00ED\u00A0\u0080"}, {"\xE2\x82", U"\u00E2\u0082"}};
  for (const auto& [utf8, chars] : cases) {
    EXPECT_EQ(DecodeUtf8(utf8), chars);
    std::string round;
    for (char32_t ch : chars) AppendUtf8(round, ch);
    EXPECT_EQ(DecodeUtf8(round), chars);
  }
}

}  // namespace
}  // namespace quorvel
