// The operator window's own FLTK window: a click on its bare surface, and drawing that keeps
// overlapping controls stacked as the layout table says.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <functional>

namespace quorvel {

class SurfaceWindow : public Fl_Double_Window {
 public:
  SurfaceWindow(int w, int h, const char* caption) : Fl_Double_Window(w, h, caption) {}
  // A left click (press and release) on a point of the window's client area, in pixels, that
  // no widget took.
  std::function<void(int x, int y)> on_surface_click;
  int handle(int event) override;
  void draw() override;

 private:
  bool pressed_ = false;
};

}  // namespace quorvel
