#include "app/fltk/form_widgets.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Text_Editor.H>

#include <algorithm>

#include "app/fltk/fltk_style.h"
#include "app/fltk/widgets.h"

namespace quorvel {
namespace {

constexpr Fl_Align kLabelAlign = FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT | FL_ALIGN_WRAP;
constexpr Fl_Align kCentredLabelAlign = FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_WRAP;

}  // namespace

FormWidgets::FormWidgets(const WindowSpec& layout, Fl_Window& window, int dpi)
    : layout_(layout), dpi_(dpi) {
  // The line lies on the window's surface, beneath the labels and every other control.
  for (const ControlSpec& row : layout.controls) {
    if (row.kind != ControlKind::kLine) continue;
    Fl_Group::current(nullptr);
    Fl_Widget* line = Create(row);
    window.add(line);
    widgets_[Index(row.id)] = line;
    ids_[line] = row.id;
  }
  const std::vector<const ControlSpec*> stacking = StackingOrder(layout);
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
    const ControlSpec& row = **it;
    Fl_Group::current(nullptr);
    Fl_Widget* widget = Create(row);
    Fl_Group* parent = &window;
    if (row.container != ControlId::kNone) parent = widgets_[Index(row.container)]->as_group();
    parent->add(widget);
    widgets_[Index(row.id)] = widget;
    ids_[widget] = row.id;
    if ((row.flags & kHidden) != 0) widget->hide();
    SetColors(row.id, row.back, row.fore);
  }
  Fl_Group::current(nullptr);
}

Fl_Widget* FormWidgets::Create(const ControlSpec& row) {
  const PixelRect r = ToPixels(AbsoluteRect(row), dpi_);
  const Fl_Font font = ToFlFont(row.font);
  const auto size = static_cast<Fl_Fontsize>(PointsToPixels(row.font.points, dpi_));
  switch (row.kind) {
    case ControlKind::kTextBox: {
      auto* input = new Fl_Input(r.left, r.top, r.width, r.height);
      input->textfont(font);
      input->textsize(size);
      return input;
    }
    case ControlKind::kMultiLineTextBox: {
      auto* editor = new Fl_Text_Editor(r.left, r.top, r.width, r.height);
      buffers_.push_back(std::make_unique<Fl_Text_Buffer>());
      editor->buffer(buffers_.back().get());
      editor->textfont(font);
      editor->textsize(size);
      editor->box(FL_DOWN_BOX);
      editor->scrollbar_align(FL_ALIGN_RIGHT);
      editor->end();
      return editor;
    }
    case ControlKind::kFrame: {
      auto* frame = new Fl_Group(r.left, r.top, r.width, r.height);
      frame->box(FL_ENGRAVED_BOX);
      frame->end();
      return frame;
    }
    case ControlKind::kOptionButton: {
      auto* option = new Fl_Round_Button(r.left, r.top, r.width, r.height);
      option->type(FL_RADIO_BUTTON);
      option->box(FL_FLAT_BOX);
      option->copy_label(LiteralLabel(row.caption, false).c_str());
      option->labelfont(font);
      option->labelsize(size);
      return option;
    }
    case ControlKind::kCommandButton: {
      auto* button = new Fl_Button(r.left, r.top, r.width, r.height);
      button->copy_label(LiteralLabel(row.caption, false).c_str());
      button->align(FL_ALIGN_CENTER | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
      button->labelfont(font);
      button->labelsize(size);
      return button;
    }
    case ControlKind::kComboBox: {
      auto* combo = new ComboBox(r.left, r.top, r.width, r.height);
      combo->Input().textfont(font);
      combo->Input().textsize(size);
      combo->DropButton().textfont(font);
      combo->DropButton().textsize(size);
      return combo;
    }
    case ControlKind::kListBox:
    case ControlKind::kDirList: {
      auto* list = new Fl_Hold_Browser(r.left, r.top, r.width, r.height);
      list->textfont(font);
      list->textsize(size);
      list->box(FL_DOWN_BOX);
      list->end();
      return list;
    }
    case ControlKind::kDriveList: {
      auto* choice = new Fl_Choice(r.left, r.top, r.width, r.height);
      choice->textfont(font);
      choice->textsize(size);
      return choice;
    }
    case ControlKind::kLabel: {
      auto* label = new LabelWidget(r.left, r.top, r.width, r.height);
      label->box(FL_FLAT_BOX);
      label->align((row.flags & kCentred) != 0 ? kCentredLabelAlign : kLabelAlign);
      label->copy_label(LiteralLabel(row.caption, false).c_str());
      label->labelfont(font);
      label->labelsize(size);
      return label;
    }
    case ControlKind::kLine: {
      auto* line = new LineWidget(TwipsToPixels(row.left, dpi_), TwipsToPixels(row.top, dpi_),
                                  TwipsToPixels(row.width, dpi_), TwipsToPixels(row.height, dpi_));
      line->color(ToFlColor(row.fore));
      return line;
    }
    case ControlKind::kTimer:
      break;
  }
  return nullptr;
}

Fl_Text_Buffer* FormWidgets::Buffer(ControlId id) const {
  auto* editor = dynamic_cast<Fl_Text_Editor*>(Widget(id));
  return editor != nullptr ? editor->buffer() : nullptr;
}

ControlId FormWidgets::ControlOf(const Fl_Widget* widget) const {
  for (; widget != nullptr; widget = widget->parent()) {
    const auto found = ids_.find(widget);
    if (found != ids_.end()) return found->second;
  }
  return ControlId::kNone;
}

Fl_Widget* FormWidgets::FocusWidget(ControlId id) const {
  if (auto* combo = dynamic_cast<ComboBox*>(Widget(id))) return &combo->Input();
  return Widget(id);
}

void FormWidgets::SetColors(ControlId id, Color back, Color fore) {
  Fl_Widget* widget = Widget(id);
  if (widget == nullptr) return;
  const Fl_Color back_color = ToFlColor(back);
  const Fl_Color fore_color = ToFlColor(fore);
  if (auto* input = dynamic_cast<Fl_Input*>(widget)) {
    input->color(back_color);
    input->textcolor(fore_color);
  } else if (auto* editor = dynamic_cast<Fl_Text_Display*>(widget)) {
    editor->color(back_color);
    editor->textcolor(fore_color);
  } else if (auto* combo = dynamic_cast<ComboBox*>(widget)) {
    combo->Input().color(back_color);
    combo->Input().textcolor(fore_color);
  } else if (auto* list = dynamic_cast<Fl_Browser_*>(widget)) {
    list->color(back_color);
    list->textcolor(fore_color);
  } else if (auto* choice = dynamic_cast<Fl_Choice*>(widget)) {
    choice->color(back_color);
    choice->textcolor(fore_color);
  } else if (dynamic_cast<LineWidget*>(widget) != nullptr) {
    widget->color(fore_color);
  } else {
    widget->color(back_color);
    widget->labelcolor(fore_color);
  }
  widget->redraw();
}

}  // namespace quorvel
