// The reference for the start-up figure: the least an FLTK program of the same window size does.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

int main() {
  Fl_Window window(669, 310, "Reference window");
  window.end();
  window.show();
  return Fl::run();
}
