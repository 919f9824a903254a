#include "series/filename_list.h"

#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

struct SplitCase {
  const char* name;
  std::string text;
  std::vector<std::string> items;
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, OneItemPerLine) {
  EXPECT_EQ(SplitIntoItems(GetParam().text), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitTest,
    ::testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"CrLfOnly", "\r\n", {""}},
        SplitCase{"FinalLineEndAddsNothing", "a\r\nb\r\n", {"a", "b"}},
        SplitCase{"NoFinalLineEnd", "a\r\nb", {"a", "b"}},
        SplitCase{"EmptyLineBetween", "a\r\n\r\nb", {"a", "", "b"}},
        SplitCase{"LeadingCrLf", "\r\na", {"", "a"}},
        SplitCase{"LeadingTwoCrLf", "\r\n\r\na", {"", "", "a"}},
        SplitCase{"LoneCr", "a\rb", {"a", "b"}}, SplitCase{"LoneLf", "a\nb", {"a", "b"}},
        SplitCase{"TwoLf", "a\n\nb", {"a", "b"}}, SplitCase{"ThreeLf", "a\n\n\nb", {"a", "", "b"}},
        SplitCase{"EmptyLineAtEnd", "a\r\n\r\n", {"a", ""}},
        SplitCase{"BlanksKept", " a \r\n", {" a "}}, SplitCase{"BlanksOnly", "   ", {"   "}},
        SplitCase{"PercentIsText", "50%\r\n", {"50%"}}),
    [](const auto& test_case) { return test_case.param.name; });

TEST(ParseTextTest, EnableFillsTheQueueAndClearsTheRest) {
  Rig rig;
  rig.SetNames({"a", "b", "c", "d", "e"});
  rig.Click(ControlId::kStartCommand);
  rig.state().NextNameIndex = 3;
  rig.controls().SetText(ControlId::kFilenames, " x\r\n\r\ny \r\n  \r\n");
  rig.Click(ControlId::kStartCommand);
  EXPECT_EQ(rig.state().NextNameIndex, 0);
  const auto& slots = rig.state().PendingNames;
  EXPECT_EQ(std::vector<std::string>(slots.begin(), slots.begin() + 5),
            (std::vector<std::string>{" x", "y ", "  ", "", ""}));
  EXPECT_EQ(rig.controls()[ControlId::kList1].items,
            (std::vector<std::string>{" x", "", "y ", "  "}));
}

TEST(ParseTextTest, A501stNameFitsAndA502ndIsRefusedWithNothingLost) {
  Rig rig;
  std::vector<std::string> names;
  // Long names: the text passes 32,766 characters and is still read whole.
  for (int i = 0; i < kPendingNameSlots; ++i)
    names.push_back(std::string(70, 'n') + std::to_string(i));
  rig.SetNames(names);
  ASSERT_GT(rig.controls().Text(ControlId::kFilenames).size(), 32766u);
  rig.Click(ControlId::kStartCommand);
  EXPECT_EQ(rig.state().PendingNames[500], names[500]);
  EXPECT_TRUE(rig.host.Messages().empty());

  rig.Click(ControlId::kStopCommand);
  names.push_back("one more");
  rig.SetNames(names);
  const std::string typed = rig.controls().Text(ControlId::kFilenames);
  rig.Click(ControlId::kStartCommand);
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), typed);
  EXPECT_EQ(rig.state().PendingNames[0], names[0]);
  EXPECT_EQ(rig.host.Messages(),
            std::vector<std::string>{"The list of filenames holds 502 names; at most 501 can be "
                                     "queued. Shorten the list, then press ENABLE again."});
}

}  // namespace
}  // namespace quorvel::harness
