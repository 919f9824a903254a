#include "x11_scanner_windows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <vector>

#include "common/utf8.h"
#include "x11_key_event.h"

namespace quorvel {
namespace {

constexpr int kMainWidth = 470, kMainHeight = 250;
constexpr int kBoxWidth = 330, kBoxHeight = 110;
constexpr int kDialogWidth = 400, kDialogHeight = 130;

// The main window's controls before its final button, as a flatbed scanner's window has them.
constexpr std::array<const char*, SimulatedScanner::kControlsBeforeFinalButton> kControls = {
    "Source", "Type",    "Resolution", "Brightness", "Contrast", "Scale", "Width",
    "Height", "Preview", "Zoom",       "Sharpen",    "Descreen", "Mirror"};

void SetAtomProperty(Display* display, Window window, const char* property, const char* value) {
  Atom atom = XInternAtom(display, value, False);
  XChangeProperty(display, window, XInternAtom(display, property, False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&atom), 1);
}

}  // namespace

X11ScannerWindows::X11ScannerWindows(Display* display, SimulatedDesktop& desktop,
                                     SimulatedScanner& scanner, EventLog& log, int left, int top)
    : display_(display),
      desktop_(desktop),
      scanner_(scanner),
      log_(log),
      left_(left),
      top_(top),
      gc_(XCreateGC(display, DefaultRootWindow(display), 0, nullptr)),
      font_(XLoadQueryFont(display, "fixed")),
      delete_window_(XInternAtom(display, "WM_DELETE_WINDOW", False)),
      ping_(XInternAtom(display, "_NET_WM_PING", False)) {
  if (font_ != nullptr) XSetFont(display_, gc_, font_->fid);
  palette_ = {Colour(212, 208, 200), Colour(236, 233, 216), Colour(0, 0, 0),
              Colour(255, 255, 255), Colour(10, 36, 106),   Colour(0, 0, 96)};
}

X11ScannerWindows::~X11ScannerWindows() {
  for (const auto& [simulated, shown] : shown_) XDestroyWindow(display_, shown.window);
  if (font_ != nullptr) XFreeFont(display_, font_);
  XFreeGC(display_, gc_);
  XFlush(display_);
}

unsigned long X11ScannerWindows::Colour(unsigned short red, unsigned short green,
                                        unsigned short blue) {
  XColor colour{};
  colour.red = static_cast<unsigned short>(red * 257);
  colour.green = static_cast<unsigned short>(green * 257);
  colour.blue = static_cast<unsigned short>(blue * 257);
  XAllocColor(display_, DefaultColormap(display_, DefaultScreen(display_)), &colour);
  return colour.pixel;
}

Window X11ScannerWindows::Open(WindowHandle simulated, WindowHandle owner) {
  const bool main = owner == 0;
  const bool error_box =
      simulated == scanner_.ErrorBox() || simulated == scanner_.ReplaceQuestion();
  const int width = main ? kMainWidth : error_box ? kBoxWidth : kDialogWidth;
  const int height = main ? kMainHeight : error_box ? kBoxHeight : kDialogHeight;
  const int x = main ? left_ : left_ + (kMainWidth - width) / 2;
  const int y = main ? top_ : top_ + (kMainHeight - height) / 2;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = palette_.surface;
  attributes.event_mask = ExposureMask | KeyPressMask | StructureNotifyMask;
  const Window window =
      XCreateWindow(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWBackPixel | CWEventMask, &attributes);

  const std::string title = desktop_.WindowTitle(simulated);
  XSizeHints size{};
  size.flags = PPosition | PMinSize | PMaxSize | (main ? USPosition : 0);
  size.x = x;
  size.y = y;
  size.min_width = size.max_width = width;
  size.min_height = size.max_height = height;
  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  hints.input = True;
  hints.initial_state = NormalState;
  XClassHint class_hint{const_cast<char*>("quorvel-scanner-sim"),
                        const_cast<char*>("QuorvelScannerSim")};
  Xutf8SetWMProperties(display_, window, title.c_str(), title.c_str(), nullptr, 0, &size, &hints,
                       &class_hint);
  XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False),
                  XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()),
                  static_cast<int>(title.size()));
  // The program that shows the window, as toolkits and Wine say it.
  const long pid = getpid();
  XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
  Atom protocols[] = {delete_window_, ping_};
  XSetWMProtocols(display_, window, protocols, 2);
  if (!main) {
    // Boxes of the main window, modal to it, as a message box and a file dialog are.
    XSetTransientForHint(display_, window, shown_.at(owner).window);
    SetAtomProperty(display_, window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    SetAtomProperty(display_, window, "_NET_WM_STATE", "_NET_WM_STATE_MODAL");
  }
  XMapRaised(display_, window);
  return window;
}

void X11ScannerWindows::Sync() {
  const WindowHandle main = scanner_.MainWindow();
  const std::array<std::pair<WindowHandle, WindowHandle>, 4> wanted = {
      {{main, 0},
       {scanner_.ErrorBox(), main},
       {scanner_.SaveAsDialog(), main},
       {scanner_.ReplaceQuestion(), scanner_.SaveAsDialog()}}};
  for (auto it = shown_.begin(); it != shown_.end();) {
    const bool still_open = std::any_of(wanted.begin(), wanted.end(), [&](const auto& w) {
      return w.first == it->first && desktop_.IsOpen(w.first);
    });
    if (still_open) {
      ++it;
    } else {
      XDestroyWindow(display_, it->second.window);
      it = shown_.erase(it);
    }
  }
  for (const auto& [simulated, owner] : wanted) {
    if (simulated == 0 || !desktop_.IsOpen(simulated) || shown_.contains(simulated)) continue;
    const Window window = Open(simulated, owner);
    shown_[simulated] = Shown{window, desktop_.WindowTitle(simulated)};
  }
  const std::string now = Snapshot();
  if (now != drawn_) {
    drawn_ = now;
    for (const auto& [simulated, shown] : shown_) Draw(simulated, shown.window);
  }
  XFlush(display_);
}

std::string X11ScannerWindows::Snapshot() const {
  const auto& counts = scanner_.Counts();
  return std::to_string(shown_.size()) + ' ' + std::to_string(scanner_.FocusedControl()) + ' ' +
         std::to_string(counts.pages_scanned) + ' ' + std::to_string(counts.saves) + ' ' +
         std::to_string(counts.saves_failed) + ' ' + (scanner_.Finished() ? 'F' : '-') +
         (scanner_.NameSelected() ? 'S' : '-') + (scanner_.NameFocused() ? 'N' : '-') +
         scanner_.NameField();
}

void X11ScannerWindows::Handle(XEvent& event) {
  const auto it = std::find_if(shown_.begin(), shown_.end(), [&](const auto& entry) {
    return entry.second.window == event.xany.window;
  });
  if (it == shown_.end()) return;
  const WindowHandle simulated = it->first;
  const std::string title = it->second.title;
  if (event.type == Expose && event.xexpose.count == 0) {
    Draw(simulated, it->second.window);
  } else if (event.type == ClientMessage &&
             static_cast<Atom>(event.xclient.data.l[0]) == delete_window_) {
    closed_ = closed_ || simulated == scanner_.MainWindow();
  } else if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == ping_) {
    // Answered once every event before it has been handled.
    XEvent answer = event;
    answer.xclient.window = DefaultRootWindow(display_);
    XSendEvent(display_, answer.xclient.window, False,
               SubstructureNotifyMask | SubstructureRedirectMask, &answer);
  } else if (event.type == KeyPress) {
    const auto received = TranslateKeyPress(event.xkey);
    if (!received) return;
    log_.Line("key", title, received->spelling);
    if (!received->key) return;
    KeyString keys;
    const Key& key = *received->key;
    if (key.kind == Key::Kind::kEnter) keys.Enter();
    if (key.kind == Key::Kind::kTab) keys.Tab();
    if (key.kind == Key::Kind::kAltChord) keys.Alt(static_cast<char>(key.character));
    if (key.kind == Key::Kind::kCharacter) {
      std::string text;
      AppendUtf8(text, key.character);
      keys.Text(text);
    }
    // The simulated desktop hands the key to the window that took it, as the X server did.
    if (desktop_.Activate(simulated)) desktop_.SendKeys(keys, true);
  }
}

void X11ScannerWindows::Draw(WindowHandle simulated, Window window) {
  XClearWindow(display_, window);
  if (simulated == scanner_.MainWindow()) DrawMain(window);
  if (simulated == scanner_.ErrorBox()) DrawErrorBox(window);
  if (simulated == scanner_.SaveAsDialog()) DrawSaveAs(window);
  if (simulated == scanner_.ReplaceQuestion()) DrawQuestion(window);
}

void X11ScannerWindows::Text(Window window, int x, int y, const std::string& text,
                             unsigned long colour) {
  XSetForeground(display_, gc_, colour);
  // The core font is Latin-1; other characters show as "?".
  std::string latin1;
  for (char32_t c : DecodeUtf8(text)) latin1.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  XDrawString(display_, window, gc_, x, y, latin1.data(), static_cast<int>(latin1.size()));
}

void X11ScannerWindows::DrawButton(Window window, int x, int y, int width, int height,
                                   const char* caption, int underline, bool focused) {
  const unsigned w = static_cast<unsigned>(width), h = static_cast<unsigned>(height);
  XSetForeground(display_, gc_, palette_.face);
  XFillRectangle(display_, window, gc_, x, y, w, h);
  XSetForeground(display_, gc_, palette_.ink);
  XSetLineAttributes(display_, gc_, focused ? 3 : 1, LineSolid, CapButt, JoinMiter);
  XDrawRectangle(display_, window, gc_, x, y, w, h);
  XSetLineAttributes(display_, gc_, 1, LineSolid, CapButt, JoinMiter);
  const std::string text = caption;
  const int char_width = font_ != nullptr ? font_->max_bounds.width : 6;
  const int tx = x + (width - char_width * static_cast<int>(text.size())) / 2;
  const int ty = y + height / 2 + 4;
  Text(window, tx, ty, text, palette_.ink);
  if (underline >= 0) {
    XDrawLine(display_, window, gc_, tx + underline * char_width, ty + 2,
              tx + (underline + 1) * char_width - 1, ty + 2);
  }
}

void X11ScannerWindows::DrawMain(Window window) {
  const auto& counts = scanner_.Counts();
  Text(window, 12, 20, "Flatbed scanner (stand-in)", palette_.heading);
  std::string status = "Pages scanned: " + std::to_string(counts.pages_scanned) +
                       "   saved: " + std::to_string(counts.saves);
  if (counts.saves_failed > 0) status += "   failed: " + std::to_string(counts.saves_failed);
  if (scanner_.Finished()) status += "   (done)";
  Text(window, 12, 38, status, palette_.ink);
  constexpr int kColumns = 4, kWidth = 105, kHeight = 28, kGap = 8;
  for (int i = 0; i < static_cast<int>(kControls.size()); ++i) {
    DrawButton(window, 12 + (i % kColumns) * (kWidth + kGap),
               52 + (i / kColumns) * (kHeight + kGap), kWidth, kHeight,
               kControls[static_cast<std::size_t>(i)], -1, scanner_.FocusedControl() == i);
  }
  DrawButton(window, kMainWidth - 130, kMainHeight - 44, 118, 30, "Next >", 0,
             scanner_.FocusedControl() == static_cast<int>(kControls.size()));
}

void X11ScannerWindows::DrawErrorBox(Window window) {
  Text(window, 16, 28, "The scanner reported an error on the last page.", palette_.ink);
  Text(window, 16, 46, "Press Enter to continue.", palette_.ink);
  DrawButton(window, (kBoxWidth - 80) / 2, kBoxHeight - 42, 80, 28, "OK", -1, true);
}

void X11ScannerWindows::DrawQuestion(Window window) {
  Text(window, 16, 28, "File already exists.", palette_.ink);
  Text(window, 16, 46, "Do you want to replace it?", palette_.ink);
  DrawButton(window, kBoxWidth / 2 - 90, kBoxHeight - 42, 80, 28, "Yes", 0, true);
  DrawButton(window, kBoxWidth / 2 + 10, kBoxHeight - 42, 80, 28, "No", 0, false);
}

void X11ScannerWindows::DrawSaveAs(Window window) {
  Text(window, 14, 36, "File name:", palette_.ink);
  const int fx = 90, fy = 20, fw = 296, fh = 24;
  XSetForeground(display_, gc_, palette_.paper);
  XFillRectangle(display_, window, gc_, fx, fy, fw, fh);
  XSetForeground(display_, gc_, palette_.ink);
  XDrawRectangle(display_, window, gc_, fx, fy, fw, fh);
  const std::string& name = scanner_.NameField();
  const int char_width = font_ != nullptr ? font_->max_bounds.width : 6;
  const int text_width = char_width * static_cast<int>(DecodeUtf8(name).size());
  unsigned long ink = palette_.ink;
  if (scanner_.NameSelected() && !name.empty()) {
    XSetForeground(display_, gc_, palette_.selection);
    XFillRectangle(display_, window, gc_, fx + 4, fy + 4, static_cast<unsigned>(text_width),
                   fh - 8);
    ink = palette_.paper;
  }
  Text(window, fx + 4, fy + 16, name, ink);
  if (scanner_.NameFocused() && !scanner_.NameSelected()) {
    XSetForeground(display_, gc_, palette_.ink);
    XDrawLine(display_, window, gc_, fx + 5 + text_width, fy + 4, fx + 5 + text_width, fy + fh - 4);
  }
  Text(window, 14, 70, "Save as type:  Bitmap (*.bmp)", palette_.ink);
  DrawButton(window, kDialogWidth - 196, kDialogHeight - 42, 88, 28, "Save", 0, false);
  DrawButton(window, kDialogWidth - 100, kDialogHeight - 42, 88, 28, "Cancel", -1, false);
}

}  // namespace quorvel
