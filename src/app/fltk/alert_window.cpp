#include "app/fltk/alert_window.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "app/fltk/fltk_style.h"
#include "app/layout_queries.h"

namespace quorvel {
namespace {

// Tells the window manager, before it has taken the new window in, not to give it the focus:
// it takes no input, and was not opened by anything the operator did.
void RefuseFocus(Fl_Window& window) {
  XWMHints hints{};
  hints.flags = InputHint;
  hints.input = False;
  XSetWMHints(fl_display, fl_xid(&window), &hints);
  const long no_user_time = 0;
  XChangeProperty(fl_display, fl_xid(&window), XInternAtom(fl_display, "_NET_WM_USER_TIME", False),
                  XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&no_user_time), 1);
  XFlush(fl_display);
}

}  // namespace

void AlertWindow::Show(const std::string& title, const std::string& text, int dpi) {
  if (!window_) {
    // Six inches by three, whatever the screen's resolution.
    const int width = 6 * dpi, height = 3 * dpi, margin = dpi / 8;
    Fl_Group::current(nullptr);
    window_ = std::make_unique<Fl_Double_Window>(width, height);
    text_ = new Fl_Multiline_Output(margin, margin, width - 2 * margin, height - 2 * margin);
    text_->textsize(static_cast<Fl_Fontsize>(PointsToPixels(9.75, dpi)));
    text_->box(FL_FLAT_BOX);
    text_->color(FL_BACKGROUND_COLOR);
    window_->end();
  }
  if (title != title_) {
    title_ = title;
    window_->copy_label(title_.c_str());
  }
  if (text != text_->value()) text_->value(text.c_str());
  if (!window_->shown()) {
    window_->show();
    RefuseFocus(*window_);
  }
}

void AlertWindow::Close() {
  if (window_ && window_->shown()) window_->hide();
}

}  // namespace quorvel
