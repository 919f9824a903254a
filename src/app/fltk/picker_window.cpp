#include "app/fltk/picker_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>

#include <string>

namespace quorvel {
namespace {

constexpr int kIndentBlanks = 3;

Fl_Choice& DriveList(const FormWidgets& widgets) {
  return *static_cast<Fl_Choice*>(widgets.Widget(ControlId::kDrive1));
}

Fl_Hold_Browser& DirList(const FormWidgets& widgets) {
  return *static_cast<Fl_Hold_Browser*>(widgets.Widget(ControlId::kDir1));
}

// A directory list line: the open folder in bold, each folder indented by its depth. "@." makes
// the browser show the rest of the line as it is.
std::string DirLine(const DirEntry& entry) {
  std::string line = entry.kind == DirEntryKind::kOpen ? "@b@." : "@.";
  line.append(static_cast<std::size_t>(entry.depth * kIndentBlanks), ' ');
  line += entry.caption;
  return line;
}

}  // namespace

PickerWindow::PickerWindow(int dpi) {
  const WindowSpec& layout = SaveDirFormLayout();
  const int width = TwipsToPixels(layout.client_width, dpi);
  const int height = TwipsToPixels(layout.client_height, dpi);
  Fl_Group::current(nullptr);
  window_ = std::make_unique<Fl_Double_Window>(width, height, layout.caption);
  window_->end();
  widgets_ = std::make_unique<FormWidgets>(layout, *window_, dpi);
  // A sizable frame; the controls keep their places when it changes.
  window_->resizable(nullptr);
  window_->size_range(width / 4, height / 4);
  for (const ControlSpec& row : layout.controls) {
    widgets_->Widget(row.id)->callback(&PickerWindow::OnWidget, this);
  }
  // A click that changes the highlight calls back at once; a double click (or Enter) on its
  // release.
  DirList(*widgets_).when(FL_WHEN_CHANGED | FL_WHEN_ENTER_KEY);
  window_->callback(
      [](Fl_Widget*, void* data) {
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
        auto* picker = static_cast<PickerWindow*>(data);
        if (picker->form_ != nullptr) picker->form_->CloseBox();
      },
      this);
}

void PickerWindow::RunModal(SaveDirForm& form) {
  form_ = &form;
  Fl_Choice& drive_list = DriveList(*widgets_);
  std::vector<std::string> names;
  for (const Drive& drive : form.Drives()) names.push_back(drive.name);
  drives_.Assign(names, drive_list.textfont(), drive_list.textsize(), drive_list.textcolor());
  drive_list.menu(drives_.Items());
  Refresh();
  window_->set_modal();
  window_->show();
  widgets_->Widget(ControlId::kDrive1)->take_focus();
  while (form.Visible() && window_->shown()) Fl::wait();
  if (form.Visible()) form.CloseBox();
  window_->hide();
  form_ = nullptr;
}

void PickerWindow::OnWidget(Fl_Widget* widget, void* data) {
  auto* picker = static_cast<PickerWindow*>(data);
  SaveDirForm* form = picker->form_;
  if (form == nullptr) return;
  switch (picker->widgets_->ControlOf(widget)) {
    case ControlId::kDrive1:
      form->ChooseDrive(DriveList(*picker->widgets_).value());
      break;
    case ControlId::kDir1: {
      const int index = DirList(*picker->widgets_).value() - 1;
      if (index < 0) return;
      const int key = Fl::event_key();
      const bool open = Fl::event() == FL_RELEASE ||
                        (Fl::event() == FL_KEYBOARD && (key == FL_Enter || key == FL_KP_Enter));
      if (!open) {
        form->Highlight(index);
        return;  // the list already shows it
      }
      form->Open(index);
      break;
    }
    case ControlId::kCommand1:
      form->Command1_Click();
      break;
    default:
      return;
  }
  picker->Refresh();
}

void PickerWindow::Refresh() {
  Fl_Choice& drive_list = DriveList(*widgets_);
  const int drive = form_->DriveIndex();
  if (drive >= 0 && drive < static_cast<int>(form_->Drives().size())) {
    drive_list.value(drive);
  } else {
    drive_list.value(static_cast<const Fl_Menu_Item*>(nullptr));
  }

  Fl_Hold_Browser& dir_list = DirList(*widgets_);
  const int top = dir_list.topline();
  dir_list.clear();
  for (const DirEntry& entry : form_->Entries()) dir_list.add(DirLine(entry).c_str());
  if (form_->Highlighted() >= 0) dir_list.value(form_->Highlighted() + 1);
  dir_list.topline(top);
  if (form_->Highlighted() >= 0) dir_list.make_visible(form_->Highlighted() + 1);
  window_->redraw();
}

}  // namespace quorvel
