#include "series/filename_list.h"

#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

using Texts = std::vector<std::string>;

TEST(SplitTest, OneItemPerLine) {
  const std::pair<const char*, const char*> cases[] = {{"", ""},
                                                       {"\r\n", "|"},
                                                       {"a\r\nb\r\n", "a|b|"},
                                                       {"a\r\nb", "a|b|"},
                                                       {"a\r\n\r\nb", "a||b|"},
                                                       {"\r\na", "|a|"},
                                                       {"\r\n\r\na", "||a|"},
                                                       {"a\rb", "a|b|"},
                                                       {"a\nb", "a|b|"},
                                                       {"a\n\nb", "a|b|"},
                                                       {"a\n\n\nb", "a||b|"},
                                                       {"a\r\n\r\n", "a||"},
                                                       {" a \r\n", " a |"},
                                                       {"   ", "   |"},
                                                       {"50%\r\n", "50%|"}};
  for (const auto& [text, items] : cases) EXPECT_EQ(Joined(SplitIntoItems(text)), items) << text;
}

// ENABLE loads the list afresh each time: blank lines are no names, the rest of the queue is
// cleared, the next name is the first, and the name sent last is kept for the next "Save As".
TEST(ParseTextTest, EnableFillsTheQueueAndClearsTheRest) {
  Rig rig;
  rig.SetNames({"a", "b", "c", "d", "e"});
  rig.state().AwaitingSaveAs = true;
  rig.state().LastFilename = "old";
  rig.Click(ControlId::kStartCommand);
  EXPECT_TRUE(rig.state().Running);
  EXPECT_FALSE(rig.state().AwaitingSaveAs);
  rig.state().NextNameIndex = 3;
  rig.controls().SetText(ControlId::kFilenames, " x\r\n\r\ny \r\n  \r\n");
  rig.Click(ControlId::kStartCommand);
  EXPECT_EQ(rig.state().NextNameIndex, 0);
  EXPECT_EQ(rig.state().LastFilename, "old");
  const auto& slots = rig.state().PendingNames;
  EXPECT_EQ(Texts(slots.begin(), slots.begin() + 5), (Texts{" x", "y ", "  ", "", ""}));
  EXPECT_EQ(rig.controls()[ControlId::kList1].items, (Texts{" x", "", "y ", "  "}));
}

TEST(ParseTextTest, A501stNameFitsAndA502ndIsRefusedWithNothingLost) {
  Rig rig;
  Texts names;
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
  EXPECT_EQ(rig.host.Messages(), Texts{"The list of filenames holds 502 names; at most 501 can be "
                                       "queued. Shorten the list, then press ENABLE again."});
}

}  // namespace
}  // namespace quorvel::harness
