// The save-folder picker, on a file system in memory.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

using Shown = std::tuple<std::string, int, DirEntryKind>;  // caption, depth, kind
constexpr auto kAncestor = DirEntryKind::kAncestor;
constexpr auto kOpen = DirEntryKind::kOpen;
constexpr auto kChild = DirEntryKind::kChild;

// A tree under /t: A/inner/deep, b, c, a hidden folder, and d1/x and d2/sub; /t is the drive "t"
// and the working folder.
class PickerTest : public ::testing::Test {
 protected:
  PickerTest() {
    for (const auto& folder : {At({"A", "inner", "deep"}), At({"b"}), At({"c"}), At({".hidden"}),
                               At({"d1", "x"}), At({"d2", "sub"})}) {
      rig_.files.AddFolder(folder);
    }
    rig_.files.SetDrives({{"t", top_, top_}});
    rig_.files.SetCurrentFolder(top_);
  }
  static std::string At(std::vector<std::string> names) {
    names.insert(names.begin(), "t");
    return PathOf(names);
  }
  std::vector<Shown> Shows(const SaveDirForm& picker) {
    std::vector<Shown> shown;
    for (const DirEntry& e : picker.Entries()) shown.emplace_back(e.caption, e.depth, e.kind);
    return shown;
  }
  static int IndexOf(const SaveDirForm& picker, const std::string& caption) {
    for (std::size_t i = 0; i < picker.Entries().size(); ++i) {
      if (picker.Entries()[i].caption == caption) return static_cast<int>(i);
    }
    return -1;
  }
  // Opens the picker as leaving the seed filename does; `operate` is the operator's part.
  void OpenPicker(std::function<void(SaveDirForm&)> operate) {
    rig_.host.on_modal = std::move(operate);
    rig_.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);
  }

  Rig rig_;
  const std::string top_ = At({});
};

TEST_F(PickerTest, DirectoryListShowsAncestorsThenSubfolders) {
  const std::string sep(1, kPathSeparator);
  const struct {
    std::string open;
    std::vector<Shown> entries;
  } cases[] = {
      {top_,
       {{top_, 0, kOpen},
        {"A", 1, kChild},
        {"b", 1, kChild},
        {"c", 1, kChild},
        {"d1", 1, kChild},
        {"d2", 1, kChild}}},
      {At({"A"}) + sep, {{top_, 0, kAncestor}, {"A", 1, kOpen}, {"inner", 2, kChild}}},
      {At({"b", "..", "A", ".", "inner", "deep", ".."}),
       {{top_, 0, kAncestor}, {"A", 1, kAncestor}, {"inner", 2, kOpen}, {"deep", 3, kChild}}},
  };
  for (const auto& c : cases) {
    rig_.files.SetCurrentFolder(c.open);
    SaveDirForm picker(rig_.host, rig_.files);
    EXPECT_EQ(Shows(picker), c.entries) << c.open;
    EXPECT_EQ(picker.Highlighted(), picker.OpenIndex());
    EXPECT_EQ(picker.Entries()[picker.OpenIndex()].path, picker.OpenFolder());
    EXPECT_EQ(picker.DriveIndex(), 0);
  }
}

TEST_F(PickerTest, SingleClickHighlightsAndDoubleClickOpens) {
  SaveDirForm picker(rig_.host, rig_.files);
  picker.Open(IndexOf(picker, "A"));
  picker.Highlight(IndexOf(picker, "inner"));
  EXPECT_EQ(picker.Highlighted(), IndexOf(picker, "inner"));
  EXPECT_EQ(picker.OpenFolder(), At({"A"}));
  picker.Highlight(99);  // no such entry: nothing changes
  EXPECT_EQ(picker.Highlighted(), IndexOf(picker, "inner"));
  EXPECT_TRUE(picker.Open(IndexOf(picker, "inner")));
  EXPECT_EQ(picker.OpenFolder(), At({"A", "inner"}));
  EXPECT_TRUE(picker.Open(0));  // an ancestor: up to the top
  EXPECT_EQ(picker.OpenFolder(), top_);
  EXPECT_FALSE(picker.Open(-1));
}

TEST_F(PickerTest, AFolderThatCannotBeReadIsNotOpened) {
  SaveDirForm picker(rig_.host, rig_.files);
  const std::vector<Shown> before = Shows(picker);
  rig_.files.Refuse(At({"c"}), "Permission denied");
  EXPECT_FALSE(picker.Open(IndexOf(picker, "c")));
  EXPECT_EQ(picker.OpenFolder(), top_);
  EXPECT_EQ(Shows(picker), before);
  EXPECT_EQ(rig_.host.Messages(),
            std::vector<std::string>{"The folder " + At({"c"}) +
                                     " cannot be opened (Permission denied). The folder stays at " +
                                     top_ + "."});
}

TEST_F(PickerTest, ChoosingADriveOpensTheFolderLeftOpenOnIt) {
  const std::string d1 = At({"d1"}), d2 = At({"d2"}), gone = At({"gone"});
  rig_.files.SetDrives({{"one", d1, d1}, {"two", d2, At({"d2", "sub"})}, {"gone", gone, gone}});
  rig_.files.SetCurrentFolder(At({"d1", "x"}));
  SaveDirForm picker(rig_.host, rig_.files);
  EXPECT_EQ(picker.DriveIndex(), 0);
  EXPECT_EQ(std::get<0>(Shows(picker).front()), d1) << "the list starts at the drive's root";

  EXPECT_TRUE(picker.ChooseDrive(1));
  EXPECT_EQ(Shows(picker), (std::vector<Shown>{{d2, 0, kAncestor}, {"sub", 1, kOpen}}));
  EXPECT_TRUE(picker.Open(0));
  EXPECT_TRUE(picker.ChooseDrive(0));  // each drive keeps the folder left open on it
  EXPECT_EQ(picker.OpenFolder(), At({"d1", "x"}));
  EXPECT_TRUE(picker.ChooseDrive(1));
  EXPECT_EQ(picker.OpenFolder(), d2);

  EXPECT_FALSE(picker.ChooseDrive(2));  // cannot be read: stay where we were
  EXPECT_EQ(picker.DriveIndex(), 1);
  EXPECT_EQ(picker.OpenFolder(), d2);
  EXPECT_EQ(rig_.host.Messages(),
            std::vector<std::string>{"The drive gone cannot be read (No such file or directory). "
                                     "The folder stays at " +
                                     d2 + "."});
}

TEST_F(PickerTest, AFolderLiesOnTheDriveWithTheLongestRootThatHoldsIt) {
  const std::vector<Drive> drives = {
      {"top", top_, ""}, {"d1", At({"d1"}), ""}, {"d1x", At({"d1", "x"}), ""}};
  const std::pair<std::string, int> cases[] = {
      {At({"d1", "x", "y"}), 2}, {At({"d1", "x"}), 2}, {At({"d1"}), 1},
      {At({"d1x"}), 0},          {At({"b"}), 0},       {"", -1}};
  for (const auto& [folder, drive] : cases) {
    EXPECT_EQ(DriveOf(rig_.files, drives, folder), drive) << folder;
  }
}

TEST_F(PickerTest, TheButtonYieldsTheOpenFolderAndThePickerIsKept) {
  OpenPicker([&](SaveDirForm& picker) {
    EXPECT_TRUE(picker.Visible());
    picker.Open(IndexOf(picker, "A"));
    picker.Highlight(IndexOf(picker, "inner"));  // a highlighted folder is not the result
    picker.Command1_Click();
  });
  EXPECT_EQ(rig_.state().SaveFolder, At({"A"}));
  SaveDirForm* first = rig_.form.Picker();
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(first->Visible());

  OpenPicker([&](SaveDirForm& picker) {
    EXPECT_EQ(&picker, first);
    EXPECT_EQ(picker.OpenFolder(), At({"A"}));
    EXPECT_EQ(picker.Highlighted(), IndexOf(picker, "inner"));
    picker.Open(IndexOf(picker, "inner"));
    picker.CloseBox();  // the close box keeps the previous save folder
  });
  EXPECT_EQ(rig_.state().SaveFolder, At({"A"}));
  EXPECT_EQ(first->OpenFolder(), At({"A", "inner"}));
}

TEST_F(PickerTest, TheCycleKeepsTickingWhileThePickerIsShown) {
  rig_.scanner->Start();
  rig_.SetNames({"a"});
  rig_.Click(ControlId::kStartCommand);
  bool opened = false;
  std::size_t steps_under_picker = 0;
  rig_.host.on_pump = [&] {
    if (opened) return;
    opened = true;  // the operator tabs out of the seed filename in the middle of a tick
    OpenPicker([&](SaveDirForm& picker) {
      rig_.steps.clear();
      rig_.clock.Advance(10000);
      steps_under_picker = rig_.steps.size();
      picker.Command1_Click();
    });
  };
  rig_.clock.Advance(2500);
  EXPECT_TRUE(opened);
  EXPECT_GE(steps_under_picker, 3u);
}

}  // namespace
}  // namespace quorvel::harness
