// The stand-in scanning application's windows on a real X display. The behaviour is the
// simulated scanner's; this class shows its windows (the main window, the error box and
// "Save As") as real X windows, draws what they hold, and hands every key an X window receives
// to the simulated window it shows, logging it with the title of the window that received it.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <string>

#include "event_log.h"
#include "sim/simulated_scanner.h"

namespace quorvel {

class X11ScannerWindows {
 public:
  X11ScannerWindows(Display* display, SimulatedDesktop& desktop, SimulatedScanner& scanner,
                    EventLog& log, int left, int top);
  ~X11ScannerWindows();
  X11ScannerWindows(const X11ScannerWindows&) = delete;
  X11ScannerWindows& operator=(const X11ScannerWindows&) = delete;

  void Handle(XEvent& event);
  // Opens and closes X windows to match the stand-in's windows and redraws them all.
  void Sync();
  // The operator closed the main window.
  bool Closed() const { return closed_; }

 private:
  struct Shown {
    Window window;
    std::string title;
  };

  Window Open(WindowHandle simulated, WindowHandle owner);
  void Draw(WindowHandle simulated, Window window);
  void DrawMain(Window window);
  void DrawErrorBox(Window window);
  void DrawSaveAs(Window window);
  void DrawQuestion(Window window);
  void DrawButton(Window window, int x, int y, int width, int height, const char* caption,
                  int underline, bool focused);
  void Text(Window window, int x, int y, const std::string& text, unsigned long colour);
  unsigned long Colour(unsigned short red, unsigned short green, unsigned short blue);
  std::string Snapshot() const;

  Display* display_;
  SimulatedDesktop& desktop_;
  SimulatedScanner& scanner_;
  EventLog& log_;
  int left_, top_;
  GC gc_;
  XFontStruct* font_;
  Atom delete_window_;
  Atom ping_;
  struct {
    unsigned long surface, face, ink, paper, selection, heading;
  } palette_;
  std::string drawn_;  // what the windows showed when last drawn
  std::map<WindowHandle, Shown> shown_;
  bool closed_ = false;
};

}  // namespace quorvel
