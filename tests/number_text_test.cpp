#include "common/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvel {
namespace {

struct ParseCase {
  const char* text;
  double value;
};

class LeadingNumberTest : public testing::TestWithParam<ParseCase> {};

TEST_P(LeadingNumberTest, ReadsTheNumberAtTheStart) {
  EXPECT_DOUBLE_EQ(ParseLeadingNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeadingNumberTest,
    testing::Values(ParseCase{"", 0}, ParseCase{"abc", 0}, ParseCase{"12", 12},
                    ParseCase{"12abc", 12}, ParseCase{"  7", 7}, ParseCase{"1 2 3", 123},
                    ParseCase{"\t-\n4", -4}, ParseCase{"+5", 5}, ParseCase{"-", 0},
                    ParseCase{"2.5", 2.5}, ParseCase{".5", 0.5}, ParseCase{"5.", 5},
                    ParseCase{"1.2.3", 1.2}, ParseCase{"1,5", 1}, ParseCase{"1e3", 1000},
                    ParseCase{"1E-2", 0.01}, ParseCase{"1e", 1}, ParseCase{"1e+x", 1},
                    ParseCase{"2e2x", 200}, ParseCase{"&HFF", 255}, ParseCase{"&hff", 255},
                    ParseCase{"&O17", 15}, ParseCase{"&o8", 0}, ParseCase{"&H", 0},
                    ParseCase{"&X1", 0}, ParseCase{"\r5", 0}, ParseCase{"18,000", 18},
                    ParseCase{"1e-400", 0}, ParseCase{"-0", 0}));

TEST(LeadingNumberTest, HugeExponentIsInfinite) {
  EXPECT_TRUE(std::isinf(ParseLeadingNumber("1e999")));
  EXPECT_LT(ParseLeadingNumber("-1e999"), 0);
}

TEST(LeadingNumberTest, DecimalPointIsAlwaysTheFullStop) {
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // where present, a comma locale must not matter
  EXPECT_DOUBLE_EQ(ParseLeadingNumber("3.25"), 3.25);
  std::setlocale(LC_NUMERIC, "C");
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, double> cases[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},   {3.5, 4},
                                             {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {0.4, 0},
                                             {0.6, 1},  {-0.6, -1}, {7, 7}};
  for (const auto& [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(WholeNumberTest, ConvertsWithinRangeOnly) {
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(32767.5), std::nullopt);
  EXPECT_EQ(ToInt16(-32768.5), -32768);
  EXPECT_EQ(ToInt16(-32769), std::nullopt);
  EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
  EXPECT_EQ(ToInt32(2147483648.0), std::nullopt);
  EXPECT_EQ(ToInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()), std::nullopt);
  EXPECT_EQ(ToInt32(std::nan("")), std::nullopt);
}

TEST(DecimalTextTest, IsPlain) {
  EXPECT_EQ(DecimalText(18000), "18000");
  EXPECT_EQ(DecimalText(-5), "-5");
  EXPECT_EQ(DecimalText(0), "0");
}

}  // namespace
}  // namespace quorvel
