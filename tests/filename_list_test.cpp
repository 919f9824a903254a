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

TEST(ParseTextTest, FillsTheQueueAndClearsTheRest) {
  Rig rig;
  rig.SetNames({"a", "b", "c", "d", "e"});
  ASSERT_TRUE(rig.form.ParseText());
  rig.state().NextNameIndex = 3;
  rig.controls().SetText(ControlId::kFilenames, " x\r\n\r\ny \r\n  \r\n");
  ASSERT_TRUE(rig.form.ParseText());
  EXPECT_EQ(rig.state().NextNameIndex, 0);
  EXPECT_EQ(rig.state().PendingNames[0], " x");
  EXPECT_EQ(rig.state().PendingNames[1], "y ");
  EXPECT_EQ(rig.state().PendingNames[2], "  ");
  EXPECT_EQ(rig.state().PendingNames[3], "");
  EXPECT_EQ(rig.state().PendingNames[4], "");
  EXPECT_EQ(rig.controls()[ControlId::kList1].items,
            (std::vector<std::string>{" x", "", "y ", "  "}));
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), " x\r\n\r\ny \r\n  \r\n");
}

TEST(ParseTextTest, FullQueueOf501FillsEverySlot) {
  Rig rig;
  std::vector<std::string> names;
  // Long names: the text passes 32,766 characters and is still read whole.
  for (int i = 0; i < kPendingNameSlots; ++i)
    names.push_back(std::string(70, 'n') + std::to_string(i));
  rig.SetNames(names);
  ASSERT_GT(rig.controls().Text(ControlId::kFilenames).size(), 32766u);
  ASSERT_TRUE(rig.form.ParseText());
  EXPECT_EQ(rig.state().PendingNames[0], names[0]);
  EXPECT_EQ(rig.state().PendingNames[500], names[500]);
  EXPECT_TRUE(rig.host.Messages().empty());
}

TEST(ParseTextTest, MoreThan501NamesAreRefusedAndNothingIsLost) {
  Rig rig;
  rig.SetNames({"kept"});
  ASSERT_TRUE(rig.form.ParseText());
  std::vector<std::string> names(kPendingNameSlots + 1, "page");
  rig.SetNames(names);
  const std::string typed = rig.controls().Text(ControlId::kFilenames);

  rig.form.StartCommand_Click();

  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), typed);
  EXPECT_EQ(rig.state().PendingNames[0], "kept");
  ASSERT_EQ(rig.host.Messages().size(), 1u);
  EXPECT_NE(rig.host.Messages()[0].find("502 names"), std::string::npos);
  EXPECT_NE(rig.host.Messages()[0].find("501"), std::string::npos);
}

}  // namespace
}  // namespace quorvel::harness
