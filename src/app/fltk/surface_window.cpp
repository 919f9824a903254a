#include "app/fltk/surface_window.h"

#include <FL/Fl.H>

namespace quorvel {
namespace {

bool Overlap(const Fl_Widget& a, const Fl_Widget& b) {
  return a.x() < b.x() + b.w() && b.x() < a.x() + a.w() && a.y() < b.y() + b.h() &&
         b.y() < a.y() + a.h();
}

}  // namespace

int SurfaceWindow::handle(int event) {
  const int used = Fl_Double_Window::handle(event);
  if (event == FL_PUSH) {
    pressed_ = used == 0 && Fl::event_button() == FL_LEFT_MOUSE;
    return used != 0 || pressed_ ? 1 : 0;
  }
  if (event == FL_RELEASE && pressed_) {
    pressed_ = false;
    if (on_surface_click) on_surface_click(Fl::event_x(), Fl::event_y());
    return 1;
  }
  return used;
}

// FLTK redraws only the damaged children; a damaged control that lies beneath others (Combo1
// under the filename list, a status line under the next) would then be drawn over them. Every
// control above a damaged one that it overlaps is drawn again too, in stacking order.
void SurfaceWindow::draw() {
  if ((damage() & ~FL_DAMAGE_CHILD) == 0) {
    for (int below = 0; below < children(); ++below) {
      const Fl_Widget& damaged = *child(below);
      if (damaged.damage() == 0 || !damaged.visible()) continue;
      for (int above = below + 1; above < children(); ++above) {
        if (child(above)->visible() && Overlap(damaged, *child(above))) {
          child(above)->damage(FL_DAMAGE_ALL);
        }
      }
    }
  }
  Fl_Double_Window::draw();
}

}  // namespace quorvel
