// The save-folder picker, on a file system in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

// A tree under /t: A/inner/deep, b, c, a hidden folder, and d1/x and d2/sub; /t is the drive "t"
// and the working folder.
class PickerTest : public ::testing::Test {
 protected:
  PickerTest() {
    for (const auto& folder : {At({"A", "inner", "deep"}), At({"b"}), At({"c"}), At({".hidden"}),
                               At({"d1", "x"}), At({"d2", "sub"})})
      rig_.files.AddFolder(folder);
    rig_.files.SetDrives({{"t", top_, top_}});
    rig_.files.SetCurrentFolder(top_);
    rig_.state().SaveFolder.clear();  // none chosen yet
  }
  static std::string At(std::vector<std::string> names) {
    names.insert(names.begin(), "t");
    return PathOf(names);
  }
  // Each entry as its depth, "^" for an ancestor of the open folder, "*" for the open one, "-"
  // for a subfolder, and its caption.
  static Texts Shows(const SaveDirForm& picker) {
    Texts shown;
    for (const DirEntry& e : picker.Entries())
      shown.push_back(std::to_string(e.depth) + "^*-"[static_cast<int>(e.kind)] + e.caption);
    return shown;
  }
  static int IndexOf(const SaveDirForm& picker, const std::string& caption) {
    return static_cast<int>(std::ranges::find(picker.Entries(), caption, &DirEntry::caption) -
                            picker.Entries().begin());
  }
  // Opens the picker as leaving the seed filename does; `operate` is the operator's part.
  void OpenPicker(std::function<void(SaveDirForm&)> operate) {
    rig_.host.on_modal = std::move(operate);
    rig_.form.FocusChanged(kSeedText, kSeedNumberText);
  }

  Rig rig_;
  const std::string top_ = At({});
};

TEST_F(PickerTest, DirectoryListShowsAncestorsThenSubfolders) {
  const std::pair<std::string, Texts> cases[] = {
      {top_, {"0*" + top_, "1-A", "1-b", "1-c", "1-d1", "1-d2"}},
      {At({"A"}) + kPathSeparator, {"0^" + top_, "1*A", "2-inner"}},
      {At({"b", "..", "A", ".", "inner", "deep", ".."}),
       {"0^" + top_, "1^A", "2*inner", "3-deep"}}};
  for (const auto& [open, entries] : cases) {
    rig_.files.SetCurrentFolder(open);
    SaveDirForm picker(rig_.host, rig_.files);
    EXPECT_EQ(Shows(picker), entries) << open;
    EXPECT_EQ(picker.Highlighted(), picker.OpenIndex());
    EXPECT_EQ(picker.Entries()[picker.OpenIndex()].path, picker.OpenFolder());
  }
}

TEST_F(PickerTest, ChoosingADriveOpensTheFolderLeftOpenOnItAndTheLongestRootHoldsAFolder) {
  const std::string d1 = At({"d1"}), d2 = At({"d2"}), gone = At({"gone"});
  rig_.files.SetDrives({{"one", d1, d1}, {"two", d2, At({"d2", "sub"})}, {"gone", gone, gone}});
  rig_.files.SetCurrentFolder(At({"d1", "x"}));
  SaveDirForm picker(rig_.host, rig_.files);
  EXPECT_EQ(std::tuple(picker.DriveIndex(), Shows(picker).front()), std::tuple(0, "0^" + d1));
  EXPECT_TRUE(picker.ChooseDrive(1));
  EXPECT_EQ(Shows(picker), (Texts{"0^" + d2, "1*sub"}));
  EXPECT_TRUE(picker.Open(0));
  EXPECT_TRUE(picker.ChooseDrive(0));  // each drive keeps the folder left open on it
  EXPECT_EQ(picker.OpenFolder(), At({"d1", "x"}));
  EXPECT_TRUE(picker.ChooseDrive(1) && picker.OpenFolder() == d2);
  EXPECT_FALSE(picker.ChooseDrive(2));  // cannot be read: stay where we were
  EXPECT_EQ(std::tuple(picker.DriveIndex(), picker.OpenFolder()), std::tuple(1, d2));
  EXPECT_EQ(rig_.host.Messages(), Texts{"The drive gone cannot be read (No such file or "
                                        "directory). The folder stays at " +
                                        d2 + "."});
  // A folder lies on the drive with the longest root that holds it.
  const std::vector<Drive> drives = {
      {"top", top_, ""}, {"d1", At({"d1"}), ""}, {"d1x", At({"d1", "x"}), ""}};
  const std::pair<std::string, int> cases[] = {
      {At({"d1", "x", "y"}), 2}, {At({"d1", "x"}), 2}, {At({"d1"}), 1},
      {At({"d1x"}), 0},          {At({"b"}), 0},       {"", -1}};
  for (const auto& [folder, drive] : cases)
    EXPECT_EQ(DriveOf(rig_.files, drives, folder), drive) << folder;
}

// The picker opens first on the save folder already set (a series taken up); without one, or with
// one that cannot be read, on the working folder. A folder that cannot be read is not opened.
TEST_F(PickerTest, OpensFirstOnTheSaveFolderAlreadySetAndNeverOnOneThatCannotBeRead) {
  rig_.files.Refuse(At({"c"}), "Permission denied");
  for (const auto& [set, opens] : {std::pair{std::string(), top_}, std::pair{At({"c"}), top_}})
    EXPECT_EQ(SaveDirForm(rig_.host, rig_.files, set).OpenFolder(), opens) << set;
  SaveDirForm picker(rig_.host, rig_.files);
  const Texts before = Shows(picker);
  EXPECT_FALSE(picker.Open(IndexOf(picker, "c")));
  EXPECT_EQ(std::tuple(picker.OpenFolder(), Shows(picker)), std::tuple(top_, before));
  EXPECT_EQ(rig_.host.Messages(), Texts{"The folder " + At({"c"}) +
                                        " cannot be opened (Permission denied). The folder stays "
                                        "at " +
                                        top_ + "."});
  rig_.state().SaveFolder = At({"d1", "x"});
  OpenPicker([&](SaveDirForm& shown) {
    EXPECT_EQ(shown.OpenFolder(), At({"d1", "x"}));
    shown.Command1_Click();
  });
  EXPECT_EQ(rig_.state().SaveFolder, At({"d1", "x"}));
}

// A single click highlights, a double click opens; the button yields the open folder, and the
// picker is kept for the next time. Opened in the middle of a tick, the cycle ticks on under it.
TEST_F(PickerTest, TheButtonYieldsTheOpenFolderAndThePickerIsKeptAndTheCycleTicksOn) {
  rig_.StartSeries({"a"});
  bool opened = false;
  rig_.host.on_pump = [&] {
    if (std::exchange(opened, true)) return;  // the operator tabs out of the seed filename
    OpenPicker([&](SaveDirForm& picker) {
      rig_.steps.clear();
      rig_.clock.Advance(10000);
      EXPECT_TRUE(rig_.steps.size() >= 3 && picker.Visible());
      picker.Open(IndexOf(picker, "A"));
      picker.Highlight(IndexOf(picker, "inner"));  // a highlighted folder is not the result
      picker.Command1_Click();
    });
  };
  rig_.clock.Advance(2500);
  EXPECT_EQ(rig_.state().SaveFolder, At({"A"}));
  SaveDirForm* first = rig_.form.Picker();
  ASSERT_TRUE(first != nullptr && !first->Visible());

  OpenPicker([&](SaveDirForm& picker) {
    picker.Highlight(99);  // no such entry: nothing changes
    EXPECT_EQ(std::tuple(&picker, picker.OpenFolder(), picker.Highlighted()),
              std::tuple(first, At({"A"}), IndexOf(picker, "inner")));
    EXPECT_FALSE(picker.Open(-1));
    EXPECT_TRUE(picker.Open(0));  // an ancestor: up to the top
    EXPECT_EQ(picker.OpenFolder(), top_);
    EXPECT_TRUE(picker.Open(IndexOf(picker, "A")));
    EXPECT_TRUE(picker.Open(IndexOf(picker, "inner")));
    picker.CloseBox();  // the close box keeps the previous save folder
  });
  EXPECT_EQ(rig_.state().SaveFolder + "|" + first->OpenFolder(),
            At({"A"}) + "|" + At({"A", "inner"}));
}

// Not when another program took the focus (kNone), nor for the picker's own button.
TEST(WindowEventsFocusTest, OnlyLeavingTheSeedFilenameForTheOperatorWindowOpensThePicker) {
  const std::tuple<ControlId, ControlId, bool> cases[] = {
      {kSeedText, kSeedNumberText, true}, {kSeedText, Option1(5), true},
      {kSeedText, kNone, false},          {kSeedText, kCommand1, false},
      {kSeedText, kSeedText, false},      {kSeedNumberText, kSeedText, false},
      {kNone, kSeedNumberText, false}};
  for (const auto& [from, to, opens] : cases) {
    Rig rig;
    rig.state().SaveFolder.clear();
    int shown = 0;
    rig.host.on_modal = [&](SaveDirForm&) { ++shown; };
    rig.form.FocusChanged(from, to);
    EXPECT_EQ(shown, opens ? 1 : 0) << Index(from) << " -> " << Index(to);
    EXPECT_EQ(rig.state().SaveFolder, opens ? rig.files.CurrentFolder() : "");
  }
}

}  // namespace
}  // namespace quorvel::harness
