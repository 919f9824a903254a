#include "series/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "tests/rig.h"

namespace quorvel {
namespace {

using harness::Rig;

constexpr int kNoOption = -1;

struct Boxes {
  int option;  // index in Option1, or kNoOption
  const char* seed_filename;
  const char* seed_number;
  const char* pad;
  const char* scans;
};

// "<-- Create Filename List" as the operator window does it: the checks, then the series from
// the seed number. The list text, or the message.
std::variant<Series, std::string> Create(const Boxes& boxes) {
  const SeriesRequest request{.seed_filename = boxes.seed_filename,
                              .seed_number = {"\"Seed\" Number:", boxes.seed_number},
                              .pad_width = {"Pad # Digits:", boxes.pad},
                              .scans = {"# Scans:", boxes.scans},
                              .step = boxes.option == kNoOption ? 0 : kOptionSteps[boxes.option]};
  const std::variant<std::int32_t, std::string> seed = SeedNumber(request);
  if (const auto* message = std::get_if<std::string>(&seed)) return *message;
  return FillSeries(request, std::get<std::int32_t>(seed), 1);
}

struct SeriesCase {
  const char* what;
  Boxes boxes;
  const char* names;
  std::int32_t current;
};

void PrintTo(const SeriesCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::string(c.what));
}

class GeneratorSeriesTest : public ::testing::TestWithParam<SeriesCase> {};

TEST_P(GeneratorSeriesTest, NamesTheSeries) {
  const SeriesCase& c = GetParam();
  const auto series = Create(c.boxes);
  ASSERT_TRUE(std::holds_alternative<Series>(series)) << std::get<std::string>(series);
  EXPECT_EQ(std::get<Series>(series).text, c.names);
  EXPECT_EQ(std::get<Series>(series).last_number, c.current);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeneratorSeriesTest,
    testing::Values(
        SeriesCase{"example", {0, "img", "7", "3", "3"}, "img008\r\nimg009\r\nimg010\r\n", 10},
        SeriesCase{"step +2", {1, "p", "10", "", "2"}, "p12\r\np14\r\n", 14},
        SeriesCase{"step -1", {2, "p", "10", "", "2"}, "p9\r\np8\r\n", 8},
        SeriesCase{"step -2 through zero", {3, "p", "3", "", "3"}, "p1\r\np-1\r\np-3\r\n", -3},
        SeriesCase{"index 4 is +4", {4, "p", "0", "", "2"}, "p4\r\np8\r\n", 8},
        SeriesCase{"index 5 is -4", {5, "p", "0", "", "2"}, "p-4\r\np-8\r\n", -8},
        SeriesCase{"minus sign inside padding", {2, "n", "-4", "4", "1"}, "n00-5\r\n", -5},
        SeriesCase{"narrow width cuts digits", {0, "n", "122", "2", "1"}, "n23\r\n", 123},
        SeriesCase{"width beyond twelve zeros", {0, "n", "6", "20", "1"}, "n0000000000007\r\n", 7},
        SeriesCase{"width 0 leaves digits", {0, "n", "6", "0", "1"}, "n7\r\n", 7},
        SeriesCase{"pad 2.5 rounds to 2", {0, "n", "0", "2.5", "1"}, "n01\r\n", 1},
        SeriesCase{"pad 3.5 rounds to 4", {0, "n", "0", "3.5", "1"}, "n0001\r\n", 1},
        SeriesCase{"pad -0.4 rounds to 0", {0, "n", "0", "-0.4", "1"}, "n1\r\n", 1},
        SeriesCase{"scans 0.4 give no name", {0, "n", "5", "", "0.4"}, "", 5},
        SeriesCase{"scans 2.5 give two", {0, "n", "0", "", "2.5"}, "n1\r\nn2\r\n", 2},
        SeriesCase{"scans 3.5 give four", {0, "n", "0", "", "3.5"}, "n1\r\nn2\r\nn3\r\nn4\r\n", 4},
        SeriesCase{"negative scans empty the box", {0, "n", "9", "", "-3"}, "", 9},
        SeriesCase{"empty seed number reads 0", {0, "n", "", "", "1"}, "n1\r\n", 1},
        SeriesCase{"seed filename as typed", {0, " scan 01 ", "0", "", "1"}, " scan 01 1\r\n", 1},
        SeriesCase{"empty seed filename", {0, "", "41", "", "1"}, "42\r\n", 42},
        SeriesCase{"seed 7.5 rounds to 8", {0, "n", "7.5", "", "1"}, "n9\r\n", 9},
        SeriesCase{"seed 6.5 rounds to 6", {0, "n", "6.5", "", "1"}, "n7\r\n", 7},
        SeriesCase{"lenient seed number", {0, "n", " 1 2abc", "", "1"}, "n13\r\n", 13},
        SeriesCase{"hexadecimal seed number", {0, "n", "&H10", "", "1"}, "n17\r\n", 17},
        SeriesCase{"last number that fits",
                   {0, "n", "2147483646", "", "1"},
                   "n2147483647\r\n",
                   2147483647},
        SeriesCase{"lowest number that fits",
                   {5, "n", "-2147483644", "", "1"},
                   "n-2147483648\r\n",
                   -2147483647 - 1}));

struct RefusalCase {
  const char* what;
  Boxes boxes;
  const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::string(c.what));
}

class GeneratorRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(GeneratorRefusalTest, SaysWhatIsWrong) {
  EXPECT_EQ(Create(GetParam().boxes), (std::variant<Series, std::string>(GetParam().message)));
}

constexpr const char* kNoStep = "You need to select an add or decrement option!";
constexpr const char* kNoScans = "You need to specify how many scans!";
constexpr const char* kSeedRange =
    "The seed number in \"Seed\" Number: must lie between -2147483648 and 2147483647.";
constexpr const char* kScansRange =
    "The number of scans in # Scans: must lie between -32768 and 32766.";
constexpr const char* kPadRange = "The pad width in Pad # Digits: must lie between 0 and 32767.";

INSTANTIATE_TEST_SUITE_P(
    Cases, GeneratorRefusalTest,
    testing::Values(
        RefusalCase{
            "neither step nor scans: only the first", {kNoOption, "n", "1", "", "0"}, kNoStep},
        RefusalCase{"no step", {kNoOption, "n", "1", "", "5"}, kNoStep},
        RefusalCase{"empty scans", {0, "n", "1", "", ""}, kNoScans},
        RefusalCase{"scans not a number", {0, "n", "1", "", "abc"}, kNoScans},
        RefusalCase{"seed above range", {0, "n", "2147483648", "", "1"}, kSeedRange},
        RefusalCase{"seed below range", {0, "n", "-2147483649", "", "1"}, kSeedRange},
        RefusalCase{"seed rounds out of range", {0, "n", "2147483647.5", "", "1"}, kSeedRange},
        RefusalCase{"seed infinite", {0, "n", "1e999", "", "1"}, kSeedRange},
        RefusalCase{"scans 32767", {0, "n", "1", "", "32767"}, kScansRange},
        RefusalCase{"scans round to 32767", {0, "n", "1", "", "32766.6"}, kScansRange},
        RefusalCase{"scans far above", {0, "n", "1", "", "1e9"}, kScansRange},
        RefusalCase{"scans below range", {0, "n", "1", "", "-32769"}, kScansRange},
        RefusalCase{"negative pad", {0, "n", "1", "-1", "1"}, kPadRange},
        RefusalCase{"pad above range", {0, "n", "1", "32768", "1"}, kPadRange},
        RefusalCase{"numbers pass the top",
                    {0, "n", "2147483646", "", "2"},
                    "Counting 2 scans by +1 from the seed number in \"Seed\" Number: would go "
                    "past 2147483647. Choose a smaller seed number or fewer scans."},
        RefusalCase{"numbers pass the bottom",
                    {3, "n", "-2147483647", "", "1"},
                    "Counting 1 scans by -2 from the seed number in \"Seed\" Number: would go "
                    "past -2147483648. Choose a larger seed number or fewer scans."}));

TEST(GeneratorTest, PaddedNumberTakesTheLastCharactersOfTwelveZerosAndTheDigits) {
  const struct {
    std::int32_t number;
    std::int16_t width;
    const char* text;
  } cases[] = {{7, 0, "7"},
               {7, 1, "7"},
               {7, 3, "007"},
               {123, 2, "23"},
               {-5, 4, "00-5"},
               {-5, 2, "-5"},
               {-5, 1, "5"},
               {7, 13, "0000000000007"},
               {7, 32767, "0000000000007"},
               {-2147483647 - 1, 0, "-2147483648"},
               {2147483647, 22, "0000000000002147483647"}};
  for (const auto& c : cases) {
    EXPECT_EQ(PaddedNumber(c.number, c.width), c.text) << c.number << " width " << c.width;
  }
}

// The operator window's side: the step of the chosen option button, the boxes by their labels,
// the list written into Filenames, a refusal that leaves everything as it was.
TEST(GeneratorTest, CreateFillsTheFilenamesBoxOrShowsOneMessage) {
  Rig rig;
  ControlModel& c = rig.controls();
  c.SetText(ControlId::kFilenames, "kept\r\n");
  c.SetText(ControlId::kSeedText, "a");
  c.SetText(ControlId::kSeedNumberText, "2147483647");
  c.SetText(ControlId::kPadText, "2");
  c.SetText(ControlId::kNumberofScans, "3");
  rig.Click(ControlId::kCreateCommand);
  EXPECT_EQ(rig.host.Messages(), std::vector<std::string>{kNoStep});
  c.SetValue(Option1(1), true);
  rig.Click(ControlId::kCreateCommand);
  EXPECT_EQ(rig.host.Messages().back(),
            "Counting 3 scans by +2 from the seed number in \"Seed\" Number: would go past "
            "2147483647. Choose a smaller seed number or fewer scans.");
  EXPECT_EQ(c.Text(ControlId::kFilenames), "kept\r\n");
  c.SetText(ControlId::kSeedNumberText, "5");
  rig.Click(ControlId::kCreateCommand);
  rig.Click(ControlId::kCreateCommand);  // twice gives the same list
  EXPECT_EQ(c.Text(ControlId::kFilenames), "a07\r\na09\r\na11\r\n");
  EXPECT_EQ(rig.state().CurrentNumber, 11);
}

TEST(GeneratorTest, FillCountsFromStartAndFromTheCurrentNumber) {
  const SeriesRequest request{.seed_filename = "x", .scans = {"", "4"}, .step = 1};
  EXPECT_EQ(std::get<Series>(FillSeries(request, 5, 3)).text, "x6\r\nx7\r\n");
  EXPECT_EQ(std::get<Series>(FillSeries(request, 5, 5)).text, "");  // start beyond the last
}

TEST(GeneratorTest, GeneratesTheLargestSeries) {
  const Series series = std::get<Series>(Create({4, "s", "-65536", "6", "32766"}));
  EXPECT_EQ(series.text.substr(0, 9), "s-65532\r\n");
  EXPECT_EQ(series.text.substr(series.text.size() - 9), "s065528\r\n");
  EXPECT_EQ(std::count(series.text.begin(), series.text.end(), '\n'), 32766);
  EXPECT_EQ(series.last_number, -65536 + 4 * 32766);
}

}  // namespace
}  // namespace quorvel
