// The save-folder picker.
#include "app/save_dir_form.h"

#include <algorithm>

namespace quorvel {

SaveDirForm::SaveDirForm(FormView& view, FileSystem& files, const std::string& folder)
    : view_(view), files_(files), drives_(ListDrives(files)) {
  std::string error;
  if (!folder.empty() && OpenFolderOn(DriveOf(files_, drives_, folder), folder, error)) {
    drive_index_ = folder_drive_;
    return;
  }
  const std::string start = WorkingFolder(files_);
  if (start.empty() || !OpenFolderOn(DriveOf(files_, drives_, start), start, error)) {
    // The working folder cannot be read: the first drive that can.
    for (int i = 0; i < static_cast<int>(drives_.size()); ++i) {
      if (OpenFolderOn(i, drives_[i].current_folder, error)) break;
    }
    if (open_folder_.empty()) open_folder_ = start;
  }
  drive_index_ = folder_drive_;
}

void SaveDirForm::Show() {
  visible_ = true;
  closed_by_close_box_ = false;
}

bool SaveDirForm::ChooseDrive(int index) {
  if (index < 0 || index >= static_cast<int>(drives_.size())) return false;
  drive_index_ = index;
  Drive1_Change();
  return drive_index_ == index;
}

void SaveDirForm::Drive1_Change() {
  if (drive_index_ < 0 || drive_index_ >= static_cast<int>(drives_.size())) return;
  const Drive& drive = drives_[drive_index_];
  std::string error;
  if (OpenFolderOn(drive_index_, drive.current_folder, error)) return;
  view_.ShowMessage("The drive " + drive.name + " cannot be read (" + error +
                    "). The folder stays at " + open_folder_ + ".");
  drive_index_ = folder_drive_;
}

void SaveDirForm::Highlight(int index) {
  if (index >= 0 && index < static_cast<int>(entries_.size())) highlighted_ = index;
}

bool SaveDirForm::Open(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return false;
  const std::string folder = entries_[index].path;
  std::string error;
  if (OpenFolderOn(folder_drive_, folder, error)) return true;
  view_.ShowMessage("The folder " + folder + " cannot be opened (" + error +
                    "). The folder stays at " + open_folder_ + ".");
  return false;
}

void SaveDirForm::Command1_Click() {
  visible_ = false;
  closed_by_close_box_ = false;
}

void SaveDirForm::CloseBox() {
  visible_ = false;
  closed_by_close_box_ = true;
}

bool SaveDirForm::OpenFolderOn(int drive, const std::string& folder, std::string& error) {
  const std::string root = drive >= 0 ? drives_[drive].root : std::string();
  std::vector<DirEntry> entries;
  if (!ListFolderTree(files_, root, folder, entries, error)) return false;
  entries_ = std::move(entries);
  open_folder_ = FolderPath(files_, folder);
  const auto open = std::find_if(entries_.begin(), entries_.end(),
                                 [](const DirEntry& e) { return e.kind == DirEntryKind::kOpen; });
  open_index_ = static_cast<int>(open - entries_.begin());
  highlighted_ = open_index_;
  folder_drive_ = drive;
  if (drive >= 0) drives_[drive].current_folder = open_folder_;
  return true;
}

}  // namespace quorvel
