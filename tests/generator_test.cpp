#include "series/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
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

void Fill(Rig& rig, const Boxes& boxes) {
  ControlModel& c = rig.controls();
  for (int i = 0; i < 6; ++i) c.SetValue(Option1(i), false);
  if (boxes.option != kNoOption) c.SetValue(Option1(boxes.option), true);
  c.SetText(ControlId::kSeedText, boxes.seed_filename);
  c.SetText(ControlId::kSeedNumberText, boxes.seed_number);
  c.SetText(ControlId::kPadText, boxes.pad);
  c.SetText(ControlId::kNumberofScans, boxes.scans);
}

struct SeriesCase {
  const char* what;
  Boxes boxes;
  const char* names;  // the expected text of Filenames
  std::int32_t current;
};

void PrintTo(const SeriesCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::string(c.what));
}

class GeneratorSeriesTest : public ::testing::TestWithParam<SeriesCase> {};

TEST_P(GeneratorSeriesTest, FillsTheFilenamesBox) {
  const SeriesCase& c = GetParam();
  Rig rig;
  rig.controls().SetText(ControlId::kFilenames, "old list\r\n");
  Fill(rig, c.boxes);
  rig.form.CreateCommand_Click();
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), c.names) << c.what;
  EXPECT_EQ(rig.state().CurrentNumber, c.current) << c.what;
  EXPECT_TRUE(rig.host.Messages().empty()) << c.what;
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

TEST_P(GeneratorRefusalTest, ShowsOneMessageAndChangesNothing) {
  const RefusalCase& c = GetParam();
  Rig rig;
  rig.controls().SetText(ControlId::kFilenames, "kept\r\n");
  rig.state().CurrentNumber = 99;
  Fill(rig, c.boxes);
  rig.form.CreateCommand_Click();
  EXPECT_EQ(rig.host.Messages(), std::vector<std::string>{c.message}) << c.what;
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), "kept\r\n") << c.what;
  EXPECT_EQ(rig.state().CurrentNumber, 99) << c.what;
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

TEST(GeneratorTest, PressingTwiceGivesTheSameList) {
  Rig rig;
  Fill(rig, {1, "a", "5", "2", "3"});
  rig.form.CreateCommand_Click();
  const std::string first = rig.controls().Text(ControlId::kFilenames);
  rig.form.CreateCommand_Click();
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), first);
  EXPECT_EQ(first, "a07\r\na09\r\na11\r\n");
}

TEST(GeneratorTest, FillFilenamesBoxCountsFromStartAndFromCurrentNumber) {
  Rig rig;
  Fill(rig, {0, "x", "0", "", "4"});
  rig.state().CurrentNumber = 5;
  rig.form.FillFilenamesBox(3);
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), "x6\r\nx7\r\n");
  EXPECT_EQ(rig.state().CurrentNumber, 7);
  rig.form.FillFilenamesBox(5);  // start beyond the last counter: the box is emptied
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), "");
  EXPECT_EQ(rig.state().CurrentNumber, 7);
}

TEST(GeneratorTest, GeneratesTheLargestSeries) {
  Rig rig;
  Fill(rig, {4, "s", "-65536", "6", "32766"});
  rig.form.CreateCommand_Click();
  ASSERT_TRUE(rig.host.Messages().empty());
  const std::string& text = rig.controls().Text(ControlId::kFilenames);
  EXPECT_EQ(text.substr(0, 9), "s-65532\r\n");
  EXPECT_EQ(text.substr(text.size() - 9), "s065528\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 32766);
  EXPECT_EQ(rig.state().CurrentNumber, -65536 + 4 * 32766);
}

}  // namespace
}  // namespace quorvel
