// The save-folder picker, "Find Directory to Save Files In": a drive list, a directory list and
// the button "Got it!      Return". This is everything a toolkit binding shows and operates; the
// binding draws the entries, forwards clicks to these calls and redraws from the model.
#pragma once

#include <string>
#include <vector>

#include "app/folder_tree.h"
#include "controls/form_view.h"

namespace quorvel {

class SaveDirForm {
 public:
  // Opens on the drives of `files`, at `folder` when one is given and can be read, else at the
  // working folder.
  SaveDirForm(FormView& view, FileSystem& files, const std::string& folder = {});
  SaveDirForm(const SaveDirForm&) = delete;
  SaveDirForm& operator=(const SaveDirForm&) = delete;

  // Shown by the operator window; the binding's modal loop runs while Visible() holds.
  void Show();
  bool Visible() const { return visible_; }
  // The picker was last closed with its close box rather than its button.
  bool ClosedByCloseBox() const { return closed_by_close_box_; }

  // Drive1: the drives and the one chosen (-1 when the open folder lies on none of them).
  const std::vector<Drive>& Drives() const { return drives_; }
  int DriveIndex() const { return drive_index_; }
  // The operator chooses a drive. False when it cannot be read: the operator has been told,
  // and the drive list and the directory list stay where they were.
  bool ChooseDrive(int index);
  void Drive1_Change();

  // Dir1: the entries, the highlighted one and the open folder, which is the picker's result.
  const std::vector<DirEntry>& Entries() const { return entries_; }
  int Highlighted() const { return highlighted_; }
  int OpenIndex() const { return open_index_; }
  const std::string& OpenFolder() const { return open_folder_; }
  // A single click: highlights the entry, the open folder stays.
  void Highlight(int index);
  // A double click: opens the entry's folder. False when it cannot be read: the operator has
  // been told and the list stays as it was.
  bool Open(int index);

  // "Got it!      Return": hides the picker.
  void Command1_Click();
  // The close box: hides the picker too, but the operator window keeps its folder.
  void CloseBox();

 private:
  bool OpenFolderOn(int drive, const std::string& folder, std::string& error);

  FormView& view_;
  FileSystem& files_;
  std::vector<Drive> drives_;
  int drive_index_ = -1;   // chosen in Drive1
  int folder_drive_ = -1;  // the drive of the open folder
  std::vector<DirEntry> entries_;
  int open_index_ = -1;
  int highlighted_ = -1;
  std::string open_folder_;
  bool visible_ = false;
  bool closed_by_close_box_ = false;
};

}  // namespace quorvel
