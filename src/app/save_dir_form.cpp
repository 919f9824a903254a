// The save-folder picker and the operator window's way into it.
#include "app/save_dir_form.h"

#include <algorithm>

#include "app/scanner_form.h"

namespace quorvel {

SaveDirForm::SaveDirForm(FormHost& host, std::vector<Drive> drives, const std::string& start_folder)
    : host_(host), drives_(std::move(drives)) {
  std::string error;
  const std::string start = start_folder.empty() ? std::string() : FolderPath(start_folder);
  if (start.empty() || !OpenFolderOn(DriveOf(drives_, start), start, error)) {
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
  host_.ShowMessage("The drive " + drive.name + " cannot be read (" + error +
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
  host_.ShowMessage("The folder " + folder + " cannot be opened (" + error +
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
  if (!ListFolderTree(root, folder, entries, error)) return false;
  entries_ = std::move(entries);
  open_folder_ = FolderPath(folder);
  const auto open = std::find_if(entries_.begin(), entries_.end(),
                                 [](const DirEntry& e) { return e.kind == DirEntryKind::kOpen; });
  open_index_ = static_cast<int>(open - entries_.begin());
  highlighted_ = open_index_;
  folder_drive_ = drive;
  if (drive >= 0) drives_[drive].current_folder = open_folder_;
  return true;
}

void ScannerForm::SeedText_LostFocus() {
  if (ended_) return;
  if (!picker_) picker_ = std::make_unique<SaveDirForm>(host_, ListDrives(), WorkingFolder());
  if (picker_->Visible()) return;  // already open further up this call chain
  picker_->Show();
  ++modal_level_;  // the cycle keeps ticking under the modal picker
  host_.ShowModal(*picker_);
  --modal_level_;
  if (ended_ || picker_->ClosedByCloseBox()) return;
  state_.SaveFolder = picker_->OpenFolder();
}

}  // namespace quorvel
