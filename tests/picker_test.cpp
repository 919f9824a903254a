#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/folder_lists.h"
#include "app/save_dir_form.h"
#include "common/path_text.h"
#include "tests/messages.h"
#include "tests/rig.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using harness::ReasonMessage;
using harness::Rig;
using harness::TempFolder;
using ::testing::ElementsAre;

// A folder tree of its own: A/inner/deep, b, c, a hidden folder and a file.
struct Tree {
  Tree() {
    for (const char* folder : {"A/inner/deep", "b", "c", ".hidden", "d1/x", "d2/sub"}) {
      fs::create_directories(root() / folder);
    }
    std::ofstream(root() / "f.txt") << "not a folder";
  }
  fs::path root() const { return temp.path(); }
  std::string at(const char* relative) const {
    return (root() / relative).make_preferred().string();
  }
  TempFolder temp;
};

// The working folder, for as long as the guard lives.
class WorkingFolderGuard {
 public:
  explicit WorkingFolderGuard(const fs::path& folder) : old_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~WorkingFolderGuard() { fs::current_path(old_); }
  WorkingFolderGuard(const WorkingFolderGuard&) = delete;
  WorkingFolderGuard& operator=(const WorkingFolderGuard&) = delete;

 private:
  fs::path old_;
};

using Shown = std::tuple<std::string, int, DirEntryKind>;  // caption, depth, kind

std::vector<Shown> Shows(const SaveDirForm& picker) {
  std::vector<Shown> shown;
  for (const DirEntry& e : picker.Entries()) shown.emplace_back(e.caption, e.depth, e.kind);
  return shown;
}

int IndexOf(const SaveDirForm& picker, const std::string& caption) {
  for (std::size_t i = 0; i < picker.Entries().size(); ++i) {
    if (picker.Entries()[i].caption == caption) return static_cast<int>(i);
  }
  return -1;
}

constexpr auto kAncestor = DirEntryKind::kAncestor;
constexpr auto kOpen = DirEntryKind::kOpen;
constexpr auto kChild = DirEntryKind::kChild;

TEST(PickerTest, DirectoryListShowsAncestorsThenSubfolders) {
  Tree tree;
  VirtualClock clock;
  HeadlessHost host(clock);
  const std::string top = tree.root().string();
  const struct {
    const char* open;
    std::vector<Shown> entries;
  } cases[] = {
      {".",
       {{top, 0, kOpen},
        {"A", 1, kChild},
        {"b", 1, kChild},
        {"c", 1, kChild},
        {"d1", 1, kChild},
        {"d2", 1, kChild}}},
      {"A", {{top, 0, kAncestor}, {"A", 1, kOpen}, {"inner", 2, kChild}}},
      {"A/inner/",
       {{top, 0, kAncestor}, {"A", 1, kAncestor}, {"inner", 2, kOpen}, {"deep", 3, kChild}}},
      {"A/inner/deep",
       {{top, 0, kAncestor}, {"A", 1, kAncestor}, {"inner", 2, kAncestor}, {"deep", 3, kOpen}}},
      {"b/../A/./inner/deep/..",
       {{top, 0, kAncestor}, {"A", 1, kAncestor}, {"inner", 2, kOpen}, {"deep", 3, kChild}}},
  };
  for (const auto& c : cases) {
    SaveDirForm picker(host, {{"t", top, top}}, (tree.root() / c.open).string());
    EXPECT_EQ(Shows(picker), c.entries) << c.open;
    EXPECT_EQ(picker.Highlighted(), picker.OpenIndex()) << c.open;
    EXPECT_EQ(picker.Entries()[picker.OpenIndex()].path, picker.OpenFolder()) << c.open;
    EXPECT_EQ(picker.DriveIndex(), 0);
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST(PickerTest, FolderNamesBeyondAsciiAreShownAndOpenedAsTheyAre) {
  Tree tree;
  const std::string name = "Fotos \u00fcber \u540d";
  fs::create_directories(tree.root() / PathOf(name));
  VirtualClock clock;
  HeadlessHost host(clock);
  const std::string top = tree.root().string();
  SaveDirForm picker(host, {{"t", top, top}}, top);
  const auto& entries = picker.Entries();
  const auto it = std::find_if(entries.begin(), entries.end(),
                               [&](const DirEntry& e) { return e.caption == name; });
  ASSERT_NE(it, entries.end());
  picker.Open(static_cast<int>(it - entries.begin()));
  EXPECT_EQ(picker.OpenFolder(), top + kPathSeparator + name);
  EXPECT_TRUE(fs::is_directory(PathOf(picker.OpenFolder())));
}

TEST(PickerTest, SingleClickHighlightsAndDoubleClickOpens) {
  Tree tree;
  VirtualClock clock;
  HeadlessHost host(clock);
  const std::string top = tree.root().string();
  SaveDirForm picker(host, {{"t", top, top}}, tree.at("A"));
  picker.Highlight(IndexOf(picker, "inner"));
  EXPECT_EQ(picker.Highlighted(), IndexOf(picker, "inner"));
  EXPECT_EQ(picker.OpenFolder(), tree.at("A"));
  picker.Highlight(99);  // no such entry: nothing changes
  EXPECT_EQ(picker.Highlighted(), IndexOf(picker, "inner"));

  EXPECT_TRUE(picker.Open(IndexOf(picker, "inner")));
  EXPECT_EQ(picker.OpenFolder(), tree.at("A/inner"));
  EXPECT_EQ(picker.Highlighted(), IndexOf(picker, "inner"));
  EXPECT_TRUE(picker.Open(0));  // an ancestor: up to the top
  EXPECT_EQ(picker.OpenFolder(), top);
  EXPECT_FALSE(picker.Open(-1));
  EXPECT_EQ(picker.OpenFolder(), top);
}

TEST(PickerTest, FolderThatVanishedIsNotOpened) {
  Tree tree;
  VirtualClock clock;
  HeadlessHost host(clock);
  const std::string top = tree.root().string();
  SaveDirForm picker(host, {{"t", top, top}}, top);
  const std::vector<Shown> before = Shows(picker);
  fs::remove(tree.root() / "c");
  EXPECT_FALSE(picker.Open(IndexOf(picker, "c")));
  EXPECT_EQ(picker.OpenFolder(), top);
  EXPECT_EQ(Shows(picker), before);
  EXPECT_THAT(host.Messages(),
              ElementsAre(ReasonMessage("The folder " + tree.at("c") + " cannot be opened (",
                                        "No such file or directory",
                                        "). The folder stays at " + top + ".")));
}

TEST(PickerTest, ChoosingADriveOpensItsCurrentFolder) {
  Tree tree;
  VirtualClock clock;
  HeadlessHost host(clock);
  const std::string d1 = tree.at("d1"), d2 = tree.at("d2"), gone = tree.at("gone");
  SaveDirForm picker(host, {{"one", d1, d1}, {"two", d2, tree.at("d2/sub")}, {"gone", gone, gone}},
                     tree.at("d1/x"));
  EXPECT_EQ(picker.DriveIndex(), 0);
  EXPECT_EQ(std::get<0>(Shows(picker).front()), d1) << "the list starts at the drive's root";

  EXPECT_TRUE(picker.ChooseDrive(1));
  EXPECT_EQ(picker.DriveIndex(), 1);
  EXPECT_EQ(picker.OpenFolder(), tree.at("d2/sub"));
  EXPECT_EQ(Shows(picker), (std::vector<Shown>{{d2, 0, kAncestor}, {"sub", 1, kOpen}}));
  EXPECT_TRUE(picker.Open(0));

  EXPECT_TRUE(picker.ChooseDrive(0));  // each drive keeps the folder left open on it
  EXPECT_EQ(picker.OpenFolder(), tree.at("d1/x"));
  EXPECT_TRUE(picker.ChooseDrive(1));
  EXPECT_EQ(picker.OpenFolder(), d2);

  EXPECT_FALSE(picker.ChooseDrive(2));  // cannot be read: stay where we were
  EXPECT_EQ(picker.DriveIndex(), 1);
  EXPECT_EQ(picker.OpenFolder(), d2);
  EXPECT_THAT(host.Messages(), ElementsAre(ReasonMessage("The drive gone cannot be read (",
                                                         "No such file or directory",
                                                         "). The folder stays at " + d2 + ".")));
}

TEST(PickerTest, OnlyARootFolderEndsWithASeparator) {
  Tree tree;
  VirtualClock clock;
  HeadlessHost host(clock);
  const std::string root = tree.root().root_path().make_preferred().string();
  SaveDirForm picker(host, {{"root", root, root}}, root);
  EXPECT_EQ(picker.OpenFolder(), root);
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(root.back(), fs::path::preferred_separator);
  for (std::size_t i = 1; i < picker.Entries().size(); ++i) {
    EXPECT_NE(picker.Entries()[i].path.back(), fs::path::preferred_separator);
  }
  EXPECT_EQ(FolderPath(tree.at("A") + "/"), tree.at("A"));
}

TEST(PickerTest, MountPointsStandInForDrives) {
  const std::string mounts =
      "proc /proc proc rw,relatime 0 0\n"
      "sysfs /sys sysfs rw 0 0\n"
      "tmpfs /dev/shm tmpfs rw 0 0\n"
      "/dev/vda / ext4 rw,relatime 0 0\n"
      "cgroup2 /sys/fs/cgroup/unified cgroup2 rw 0 0\n"
      "/dev/sdb1 /media/my\\040usb vfat rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "binfmt_misc /binfmt binfmt_misc rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "broken line\n";
  EXPECT_EQ(DriveMountPoints(mounts), (std::vector<std::string>{"/", "/media/my usb", "/tmp"}));
}

TEST(PickerTest, AFolderLiesOnTheDriveWithTheLongestRootThatHoldsIt) {
  Tree tree;
  const std::vector<Drive> drives = {
      {"top", tree.root().string(), ""}, {"d1", tree.at("d1"), ""}, {"d1x", tree.at("d1/x"), ""}};
  const struct {
    std::string folder;
    int drive;
  } cases[] = {{tree.at("d1/x/y"), 2}, {tree.at("d1/x"), 2}, {tree.at("d1"), 1},
               {tree.at("d1x"), 0},    {tree.at("b"), 0},    {"", -1}};
  for (const auto& c : cases) EXPECT_EQ(DriveOf(drives, c.folder), c.drive) << c.folder;
}

#ifndef _WIN32
TEST(PickerTest, TheDriveOfTheWorkingFolderOpensOnIt) {
  Tree tree;
  WorkingFolderGuard cwd(tree.root() / "A");
  const std::vector<Drive> drives = ListDrives();
  const int holder = DriveOf(drives, tree.at("A"));
  ASSERT_GE(holder, 0);
  EXPECT_EQ(drives[holder].current_folder, tree.at("A"));
}
#endif

TEST(PickerTest, FirstOpeningShowsTheWorkingFolderAndTheButtonYieldsIt) {
  Tree tree;
  WorkingFolderGuard cwd(tree.root() / "b");
  Rig rig;
  rig.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);
  EXPECT_EQ(rig.state().SaveFolder, tree.at("b"));
  ASSERT_NE(rig.form.Picker(), nullptr);
  EXPECT_FALSE(rig.form.Picker()->Visible());
}

TEST(PickerTest, PickerIsKeptWithItsFolderAndHighlightBetweenOpenings) {
  Tree tree;
  WorkingFolderGuard cwd(tree.root());
  Rig rig;
  rig.host.on_modal = [&](SaveDirForm& picker) {
    EXPECT_TRUE(picker.Visible());
    picker.Open(IndexOf(picker, "A"));
    picker.Highlight(IndexOf(picker, "inner"));
    picker.Command1_Click();
  };
  rig.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);
  EXPECT_EQ(rig.state().SaveFolder, tree.at("A"));
  SaveDirForm* first = rig.form.Picker();

  std::string seen_folder;
  int seen_highlight = -1;
  rig.host.on_modal = [&](SaveDirForm& picker) {
    seen_folder = picker.OpenFolder();
    seen_highlight = picker.Highlighted();
    picker.Command1_Click();
  };
  rig.form.FocusChanged(ControlId::kSeedText, ControlId::kPadText);
  EXPECT_EQ(rig.form.Picker(), first);
  EXPECT_EQ(seen_folder, tree.at("A"));
  EXPECT_EQ(seen_highlight, IndexOf(*first, "inner"));
}

TEST(PickerTest, HighlightedFolderIsNotTheResult) {
  Tree tree;
  WorkingFolderGuard cwd(tree.root());
  Rig rig;
  rig.host.on_modal = [&](SaveDirForm& picker) {
    picker.Highlight(IndexOf(picker, "c"));
    picker.Command1_Click();
  };
  rig.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);
  EXPECT_EQ(rig.state().SaveFolder, tree.root().string());
}

TEST(PickerTest, CloseBoxKeepsThePreviousSaveFolder) {
  Tree tree;
  WorkingFolderGuard cwd(tree.root());
  Rig rig;
  rig.state().SaveFolder = "previous";
  rig.host.on_modal = [&](SaveDirForm& picker) {
    picker.Open(IndexOf(picker, "b"));
    picker.CloseBox();
  };
  rig.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);
  EXPECT_EQ(rig.state().SaveFolder, "previous");
  EXPECT_FALSE(rig.form.Picker()->Visible());
  EXPECT_EQ(rig.form.Picker()->OpenFolder(), tree.at("b")) << "the picker keeps its folder";
}

TEST(PickerTest, TheCycleKeepsTickingWhileThePickerIsShown) {
  Rig rig;
  rig.scanner->Start();
  rig.SetNames({"a"});
  rig.form.StartCommand_Click();
  bool opened = false;
  std::size_t steps_under_picker = 0;
  rig.host.on_pump = [&] {
    if (opened) return;
    opened = true;  // the operator tabs out of the seed filename in the middle of a tick
    rig.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);
  };
  rig.host.on_modal = [&](SaveDirForm& picker) {
    rig.steps.clear();
    rig.clock.Advance(10000);
    steps_under_picker = rig.steps.size();
    picker.Command1_Click();
  };
  rig.clock.Advance(2500);
  EXPECT_TRUE(opened);
  EXPECT_GE(steps_under_picker, 3u);
}

}  // namespace
}  // namespace quorvel
