// The filename list: made by the series generator, or typed, and read into the queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <variant>

#include "series/filename_list.h"
#include "series/generator.h"
#include "tests/rig.h"

namespace quorvel::harness {
namespace {

struct Boxes {
  int option;  // index in Option1, or -1 for none
  const char *seed_filename, *seed_number, *pad, *scans;
  std::string outcome;  // the list and "=" the last number, or the message
};

// "<-- Create Filename List" pressed on the operator window with these boxes: the list it shows
// and "=" the number it ends on, or the messages shown, the list as it was.
std::string Create(const Boxes& b) {
  Rig rig;
  ControlModel& c = rig.controls();
  c.SetText(kFilenames, "kept\r\n");
  c.SetText(kSeedText, b.seed_filename);
  c.SetText(kSeedNumberText, b.seed_number);
  c.SetText(kPadText, b.pad);
  c.SetText(kNumberofScans, b.scans);
  if (b.option >= 0) c.SetValue(Option1(b.option), true);
  rig.Click(kCreateCommand);
  if (!rig.host.Messages().empty())
    return Joined(rig.host.Messages(), "") + (c.Text(kFilenames) == "kept\r\n" ? "" : " (lost)");
  return c.Text(kFilenames) + "=" + std::to_string(rig.state().CurrentNumber);
}

constexpr const char* kNoStep = "You need to select an add or decrement option!";
const std::string kSeed =
    "The seed number in \"Seed\" Number: must lie between -2147483648 and 2147483647.";
const std::string kScans = "The number of scans in # Scans: must lie between -32768 and 32766.";
const std::string kPad = "The pad width in Pad # Digits: must lie between 0 and 32767.";

// Pad, scans and seed numbers round half to even; neither step nor scans: only the first message.
TEST(GeneratorTest, NamesTheSeriesPaddedFromAnyStartOrSaysWhatIsWrong) {
  const Boxes cases[] = {
      {0, "img", "7", "3", "3", "img008\r\nimg009\r\nimg010\r\n=10"},
      {1, "p", "10", "", "2", "p12\r\np14\r\n=14"},
      {2, "p", "10", "", "2", "p9\r\np8\r\n=8"},
      {3, "p", "3", "", "3", "p1\r\np-1\r\np-3\r\n=-3"},
      {4, "p", "0", "", "2", "p4\r\np8\r\n=8"},
      {5, "p", "0", "", "2", "p-4\r\np-8\r\n=-8"},
      {0, "n", "6.5", "2.5", "2.5", "n07\r\nn08\r\n=8"},
      {0, "n", "7.5", "3.5", "3.5", "n0009\r\nn0010\r\nn0011\r\nn0012\r\n=12"},
      {0, "n", "0", "-0.4", "1", "n1\r\n=1"},
      {0, "n", "5", "", "0.4", "=5"},
      {1, "n", "-2147483647", "", "-3", "=-2147483647"},  // no names: nothing to pass the edge
      {0, " scan 01 ", " 1 2abc", "", "1", " scan 01 13\r\n=13"},
      {0, "n", "2147483646", "", "1", "n2147483647\r\n=2147483647"},
      {5, "n", "-2147483644", "", "1", "n-2147483648\r\n=-2147483648"},
      {-1, "n", "1", "", "0", kNoStep},
      {0, "n", "1", "", "abc", "You need to specify how many scans!"},
      {0, "n", "2147483648", "", "1", kSeed},
      {0, "n", "1", "", "32766.6", kScans},
      {0, "n", "1", "-1", "1", kPad},
      {0, "n", "1", "32768", "1", kPad},
      {0, "n", "2147483646", "", "2",
       "Counting 2 scans by +1 from the seed number in \"Seed\" Number: would go past "
       "2147483647. Choose a smaller seed number or fewer scans."},
      {3, "n", "-2147483647", "", "1",
       "Counting 1 scans by -2 from the seed number in \"Seed\" Number: would go past "
       "-2147483648. Choose a larger seed number or fewer scans."}};
  for (const Boxes& c : cases)
    EXPECT_EQ(Create(c), c.outcome)
        << c.option << " " << c.seed_number << " " << c.pad << " " << c.scans;
  // A number is padded with the last characters of twelve zeros and its digits.
  const std::tuple<std::int32_t, std::int16_t, const char*> padded[] = {
      {7, 3, "007"},
      {123, 2, "23"},
      {-5, 4, "00-5"},
      {-5, 1, "5"},
      {7, 32767, "0000000000007"},
      {2147483647, 22, "0000000000002147483647"}};
  for (const auto& [n, width, text] : padded) EXPECT_EQ(PaddedNumber(n, width), text) << n;
  // A fill counts from its start; the largest series is made.
  const SeriesRequest request{.seed_filename = "x", .scans = {"", "4"}, .step = 1};
  EXPECT_EQ(std::get<Series>(FillSeries(request, 5, 3)).text, "x6\r\nx7\r\n");
  EXPECT_EQ(std::get<Series>(FillSeries(request, 5, 5)).text, "");  // start beyond the last
  const std::string made = Create({4, "s", "-65536", "6", "32766", ""});
  EXPECT_EQ(std::tuple(made.substr(0, 9), made.substr(made.size() - 15),
                       std::count(made.begin(), made.end(), '\n')),
            std::tuple("s-65532\r\n", "s065528\r\n=65528", 32766));
}

// One item per line; ENABLE fills the queue afresh from the items and refuses a 502nd name.
TEST(ParseTextTest, OneItemPerLineAndEnableFillsTheQueueAfreshAndRefusesA502ndName) {
  const std::pair<const char*, const char*> cases[] = {{"", ""},
                                                       {"\r\n", "|"},
                                                       {"a\r\nb\r\n", "a|b|"},
                                                       {"a\r\n\r\nb", "a||b|"},
                                                       {"\r\na", "|a|"},
                                                       {"a\nb", "a|b|"},
                                                       {"a\n\nb", "a|b|"},
                                                       {"a\n\n\nb", "a||b|"},
                                                       {"a\r\n\r\n", "a||"},
                                                       {" a \r\n", " a |"}};
  for (const auto& [text, items] : cases) EXPECT_EQ(Joined(SplitIntoItems(text)), items) << text;

  // ENABLE loads the list afresh each time: 501 names fit, their text past 32,766 characters and
  // read whole. Blank lines are no names, the rest of the queue is cleared, the next name is the
  // first, and the name sent last is kept for the next "Save As". A 502nd name is refused, nothing
  // lost.
  Rig rig;
  Texts names;
  for (int i = 0; i < kPendingNameSlots; ++i)
    names.push_back(std::string(70, 'n') + std::to_string(i));
  rig.SetNames(names);
  ASSERT_GT(rig.controls().Text(kFilenames).size(), 32766u);
  rig.state().AwaitingSaveAs = true;
  rig.Click(kStartCommand);
  EXPECT_EQ(std::tuple(rig.state().Running, rig.state().AwaitingSaveAs,
                       rig.state().PendingNames[500], rig.host.Messages().size()),
            std::tuple(true, false, names[500], 0u));

  rig.state().NextNameIndex = 3;
  rig.state().LastFilename = "old";
  rig.controls().SetText(kFilenames, " x\r\n\r\ny \r\n  \r\n");
  rig.Click(kStartCommand);
  const auto& slots = rig.state().PendingNames;
  EXPECT_EQ(std::tuple(rig.state().NextNameIndex, rig.state().LastFilename,
                       Texts(slots.begin(), slots.begin() + 5), slots[500]),
            std::tuple(0, "old", Texts{" x", "y ", "  ", "", ""}, ""));
  EXPECT_EQ(rig.controls()[kList1].items, (Texts{" x", "", "y ", "  "}));

  rig.Click(kStopCommand);
  names.push_back("one more");
  rig.SetNames(names);
  const std::string typed = rig.controls().Text(kFilenames);
  rig.Click(kStartCommand);
  EXPECT_EQ(
      std::tuple(rig.state().Running, rig.controls().Text(kFilenames), rig.state().PendingNames[0]),
      std::tuple(false, typed, " x"));
  EXPECT_EQ(rig.host.Messages(), Texts{"The list of filenames holds 502 names; at most 501 can be "
                                       "queued. Shorten the list, then press ENABLE again."});
}

}  // namespace
}  // namespace quorvel::harness
