// The widgets of one window of the layout table, created from its rows: each control's widget at
// its place and size in pixels at the screen's resolution, with its colours and font, added to
// the window the bottom-most first, so that FLTK (which draws children in order and offers a
// click to the last child first) stacks them as the table does. Shared by the operator window
// and the save-folder picker.
#pragma once

#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

#include "app/layout.h"
#include "app/layout_queries.h"

namespace quorvel {

class FormWidgets {
 public:
  // Adds the widgets of `layout` to `window`, which must be sized for the table's client area.
  FormWidgets(const WindowSpec& layout, Fl_Window& window, int dpi);
  FormWidgets(const FormWidgets&) = delete;
  FormWidgets& operator=(const FormWidgets&) = delete;

  const WindowSpec& Layout() const { return layout_; }
  int Dpi() const { return dpi_; }
  // Null for a control without a widget (a timer) or of the other window.
  Fl_Widget* Widget(ControlId id) const { return widgets_[Index(id)]; }
  // The text of a multi-line text box.
  Fl_Text_Buffer* Buffer(ControlId id) const;
  // The control that `widget` is or belongs to (a combo box's edit field, a text box's scroll
  // bar); kNone when it is none of this window's.
  ControlId ControlOf(const Fl_Widget* widget) const;
  // The widget that takes the focus for the control (a combo box's edit field).
  Fl_Widget* FocusWidget(ControlId id) const;

  // Shows the control's colours (its back and fore colour, as its kind uses them).
  void SetColors(ControlId id, Color back, Color fore);

 private:
  Fl_Widget* Create(const ControlSpec& row);

  const WindowSpec& layout_;
  int dpi_;
  std::array<Fl_Widget*, kControlCount> widgets_{};
  std::unordered_map<const Fl_Widget*, ControlId> ids_;
  std::vector<std::unique_ptr<Fl_Text_Buffer>> buffers_;
};

}  // namespace quorvel
