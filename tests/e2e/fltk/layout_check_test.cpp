// The real operator window and picker on an X display, compared with the layout table: every
// control's place, size and stacking, the window's client size, whole captions, the colours and
// fonts, the tab order and the first focus; and the binding's wiring of the model, the timers, the
// surface click and the picker. The display has 96 dots per inch, or as many as QUORVEL_DPI says:
// the sizes and the captions are checked at any. GoogleTest comes before Xlib, whose macros (None,
// Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// clang-format on

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/fltk/fltk_host.h"
#include "app/fltk/picker_window.h"
#include "app/fltk/widgets.h"
#include "app/layout_queries.h"
#include "app/scanner_form.h"
#include "desktop/x11_desktop.h"
#include "files/posix_file_system.h"

namespace quorvel {
namespace {

using K = ControlId;

int Dpi() {
  const char* dpi = std::getenv("QUORVEL_DPI");
  return dpi != nullptr ? std::atoi(dpi) : 96;
}

// Whether a widget shows the whole of its caption: laid out as the widget draws it (wrapped at
// the width it has, where it wraps), the caption fits the room the widget gives it, or runs past
// its right edge only onto the window's bare surface, where nothing covers it.
bool CaptionWhole(const Fl_Widget& widget, const WindowSpec& layout) {
  if (widget.label() == nullptr) return true;
  int inset = Fl::box_dx(widget.box());
  // The option button's mark and the gaps around it.
  if (dynamic_cast<const Fl_Light_Button*>(&widget) != nullptr) inset = widget.labelsize() + 6;
  const int room = widget.w() - inset - Fl::box_dx(widget.box());
  int width = (widget.align() & FL_ALIGN_WRAP) != 0 ? room : 0;
  int needed = 0;
  fl_font(widget.labelfont(), widget.labelsize());
  fl_measure(widget.label(), width, needed, 0);
  const int end = widget.x() + inset + width - 1;  // the caption's last column
  const auto bare = [&](int y) {
    return IsBareSurface(layout, PixelsToTwips(end, Dpi()), PixelsToTwips(y, Dpi()));
  };
  return needed <= widget.h() - Fl::box_dh(widget.box()) &&
         (width <= room || (bare(widget.y()) && bare(widget.y() + needed)));
}

bool WaitUntil(const std::function<bool()>& done, double seconds = 5) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Fl::wait(0.02);
  }
  return true;
}

// What is pending is handled and drawn; nothing is waited for.
void Settle() {
  XSync(fl_display, False);
  Fl::check();
}

// The key and button releases the program has read from the X server: a faked press has been
// handled once its release is read, as the server sends the events in order.
int releases_read = 0;
int CountRelease(void* event, void*) {
  const int type = static_cast<XEvent*>(event)->type;
  return releases_read += type == KeyRelease || type == ButtonRelease, 0;
}
void AwaitRelease(int before) {
  XFlush(fl_display);
  EXPECT_TRUE(WaitUntil([before] { return releases_read > before; })) << "the event never came";
  Settle();
}

void PressKey(KeySym key, bool shift = false) {
  const int before = releases_read;
  const KeyCode shift_code = XKeysymToKeycode(fl_display, XK_Shift_L);
  if (shift) XTestFakeKeyEvent(fl_display, shift_code, True, CurrentTime);
  XTestFakeKeyEvent(fl_display, XKeysymToKeycode(fl_display, key), True, CurrentTime);
  XTestFakeKeyEvent(fl_display, XKeysymToKeycode(fl_display, key), False, CurrentTime);
  if (shift) XTestFakeKeyEvent(fl_display, shift_code, False, CurrentTime);
  AwaitRelease(before);
}

void Type(const std::string& text) {
  for (char c : text) PressKey(c == '\n' ? XK_Return : static_cast<KeySym>(c));
}

// A left click at a point of the window's client area, in pixels; one on the title bar (y < 0)
// goes to the window manager, and is not waited for.
void Click(Fl_Window& window, int x, int y) {
  const int before = releases_read;
  int root_x = 0, root_y = 0;
  Window child = 0;
  XTranslateCoordinates(fl_display, fl_xid(&window), RootWindow(fl_display, fl_screen), x, y,
                        &root_x, &root_y, &child);
  XTestFakeMotionEvent(fl_display, fl_screen, root_x, root_y, CurrentTime);
  XTestFakeButtonEvent(fl_display, 1, True, CurrentTime);
  XTestFakeButtonEvent(fl_display, 1, False, CurrentTime);
  y >= 0 ? AwaitRelease(before) : Settle();
}

// The windows the window manager manages.
std::set<::Window> ManagedWindows() {
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::set<::Window> windows;
  XGetWindowProperty(fl_display, DefaultRootWindow(fl_display),
                     XInternAtom(fl_display, "_NET_CLIENT_LIST", False), 0, 65536, False, XA_WINDOW,
                     &type, &format, &items, &after, &data);
  if (data == nullptr) return windows;
  const auto* list = reinterpret_cast<const ::Window*>(data);
  windows.insert(list, list + items);
  XFree(data);
  return windows;
}

// The client size the X server gives a window, in pixels.
std::vector<int> ClientSize(::Window window) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(fl_display, window, &attributes);
  return {attributes.width, attributes.height};
}

// Every control of a window's table where the table puts it, in pixels, showing its whole caption.
void ExpectLaidOut(const FormWidgets& widgets, const WindowSpec& layout) {
  for (const ControlSpec& row : layout.controls) {
    if (row.kind == ControlKind::kTimer || row.kind == ControlKind::kLine) continue;
    const Fl_Widget& widget = *widgets.Widget(row.id);
    const PixelRect pixels = ToPixels(AbsoluteRect(row), Dpi());
    EXPECT_EQ(std::vector({widget.x(), widget.y(), widget.w(), widget.h()}),
              std::vector({pixels.left, pixels.top, pixels.width, pixels.height}))
        << row.name << "(" << row.index << ")";
    EXPECT_EQ(widget.visible() != 0, (row.flags & kHidden) == 0) << row.name;
    EXPECT_TRUE(CaptionWhole(widget, layout)) << row.name;
  }
}

// The operator window, shown on the display, bound to a form on the real X11 desktop.
class OperatorWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Fl::add_system_handler(CountRelease, nullptr);
    desktop_ = new X11Desktop();
    host_ = new FltkHost();
    form_ = new ScannerForm(*desktop_, files_, *host_);
    host_->on_status_line = [](const std::string& line) { status_lines_.push_back(line); };
    host_->Attach(*form_);
    host_->Show();
    ASSERT_TRUE(WaitUntil([] { return host_->Window().visible() && Fl::focus() != nullptr; }));
    // Keys go to the window that has the X input focus, which the window manager gives.
    ASSERT_TRUE(FocusOperatorWindow()) << "the window did not get the input focus";
    Settle();
  }
  // The window stays up for the whole suite, as the program's does; the process ends with it.

  // Gives the operator window the X input focus, as the window manager does when the operator
  // clicks it or a modal window above it closes.
  static bool FocusOperatorWindow() {
    const ::Window xid = fl_xid(&host_->Window());
    const auto focused = [xid] {
      ::Window focus = 0;
      int revert = 0;
      XGetInputFocus(fl_display, &focus, &revert);
      return focus == xid;
    };
    if (!WaitUntil([xid] { return ManagedWindows().count(xid) != 0; })) {
      ADD_FAILURE() << "the window manager does not manage the window";
      return false;
    }
    if (WaitUntil(focused, 1)) return true;
    desktop_->AppActivate(ScannerFormLayout().caption);
    if (WaitUntil(focused, 2)) return true;
    Click(host_->Window(), 100, -8);  // on the title bar, as an operator does
    return WaitUntil(focused);
  }

  static Fl_Widget& W(ControlId id) { return *host_->Widgets().Widget(id); }
  static ControlId Focused() { return host_->Widgets().ControlOf(Fl::focus()); }
  // While the picker is open, presses its button once `check` has looked at it.
  static void AnswerPicker(std::function<void(PickerWindow&)> check = {}) {
    picker_check_ = std::move(check);
    Fl::add_timeout(0.05, &OperatorWindowTest::PollPicker);
  }
  static void PollPicker(void*) {
    PickerWindow* picker = host_->Picker();
    if (picker == nullptr || picker->Form() == nullptr || !picker->Window().visible()) {
      Fl::repeat_timeout(0.05, &OperatorWindowTest::PollPicker);
      return;
    }
    ++pickers_answered_;
    if (picker_check_) picker_check_(*picker);
    picker->Widgets().Widget(K::kCommand1)->do_callback();
  }

  static inline PosixFileSystem files_;
  static inline X11Desktop* desktop_ = nullptr;
  static inline FltkHost* host_ = nullptr;
  static inline ScannerForm* form_ = nullptr;
  static inline std::vector<std::string> status_lines_;
  static inline std::function<void(PickerWindow&)> picker_check_;
  static inline int pickers_answered_ = 0;
};

// FLTK offers a click to the last child of a group that holds the point and draws it last, so the
// children, last first and a frame's own inside it, are the stacking from the top.
void Stacking(const FormWidgets& widgets, const Fl_Group& group, std::vector<ControlId>& order) {
  for (int i = group.children() - 1; i >= 0; --i) {
    const ControlId id = widgets.ControlOf(group.child(i));
    if (id == K::kFrame1) Stacking(widgets, *group.child(i)->as_group(), order);
    if (id != K::kNone && id != K::kLine1) order.push_back(id);
  }
}

// The caption, the fixed frame and the icon are the program's own test (program_window.sh); here
// the client size, which grows with the resolution, and every control where the table puts it,
// covering the others in the table's order, in its colours and fonts. Leaving SeedText, where the
// focus starts, opens the picker, a modal window of its own table; its open folder (the working
// folder) becomes the save folder, and the focus goes on to the next control.
TEST_F(OperatorWindowTest, BothWindowsFollowTheTableAndTabFollowsTheTabIndexThroughThePicker) {
  ASSERT_EQ(host_->Widgets().Dpi(), Dpi()) << "the display's resolution (Xvfb -dpi)";
  // 669 x 310 px at 96 dpi
  EXPECT_EQ(ClientSize(fl_xid(&host_->Window())),
            std::vector({TwipsToPixels(10035, Dpi()), TwipsToPixels(4650, Dpi())}));
  ExpectLaidOut(host_->Widgets(), ScannerFormLayout());
  // The line from (4440, 120) to (4440, 4440): one pixel wide, at x 296, y 8 to 296 at 96 dpi;
  // and the frame's buttons inside the frame.
  const int x = TwipsToPixels(4440, Dpi());
  const int top = TwipsToPixels(120, Dpi());
  EXPECT_EQ(std::vector({W(K::kLine1).x(), W(K::kLine1).y(), W(K::kLine1).w(), W(K::kLine1).h()}),
            std::vector({x, top, 1, x - top + 1}));
  EXPECT_EQ(W(OptionAction(2)).parent(), &W(K::kFrame1));

  std::vector<ControlId> expected;
  for (const ControlSpec* row : StackingOrder(ScannerFormLayout())) expected.push_back(row->id);
  std::vector<ControlId> stacked;
  Stacking(host_->Widgets(), host_->Window(), stacked);
  EXPECT_EQ(stacked, expected);

  // The status lines white on grey in bold 8.25 pt (11 px at 96 dpi), the labels 9.75 pt (13 px).
  const auto& status = static_cast<const Fl_Input&>(W(DelayText(4)));
  EXPECT_EQ(
      std::tuple(status.color(), status.textcolor(), status.textfont(), status.textsize(),
                 W(Option1(5)).labelcolor(), W(K::kLabel1).labelsize(), W(K::kSeedText).color()),
      std::tuple(FL_BACKGROUND_COLOR, fl_rgb_color(255, 255, 255), FL_HELVETICA_BOLD,
                 PointsToPixels(8.25, Dpi()), fl_rgb_color(255, 0, 0), PointsToPixels(9.75, Dpi()),
                 FL_BACKGROUND2_COLOR));

  ASSERT_EQ(Focused(), K::kSeedText);
  const std::vector<const ControlSpec*> order = TabOrder(ScannerFormLayout());
  const int answered = pickers_answered_;
  AnswerPicker([](PickerWindow& picker) {
    const ::Window xid = fl_xid(&picker.Window());
    EXPECT_STREQ(picker.Window().label(), "Find Directory to Save Files In");
    // 312 x 242 px at 96 dpi
    EXPECT_EQ(ClientSize(xid),
              std::vector({TwipsToPixels(4680, Dpi()), TwipsToPixels(3630, Dpi())}));
    XSizeHints hints{};
    long supplied = 0;
    XGetWMNormalHints(fl_display, xid, &hints, &supplied);
    EXPECT_NE(hints.max_width, ClientSize(xid)[0]) << "the picker's frame is sizable";
    EXPECT_TRUE(picker.Window().modal());
    ExpectLaidOut(picker.Widgets(), SaveDirFormLayout());
    EXPECT_STREQ(picker.Widgets().Widget(K::kCommand1)->label(), "Got it!      Return");
    EXPECT_EQ(picker.Widgets().ControlOf(Fl::focus()), K::kDrive1);
    EXPECT_GT(static_cast<Fl_Browser*>(picker.Widgets().Widget(K::kDir1))->size(), 0);
  });
  for (std::size_t i = 1; i <= order.size(); ++i) {
    PressKey(XK_Tab);
    if (i == 1) FocusOperatorWindow();  // back from the picker
    ASSERT_TRUE(WaitUntil([&] { return Focused() == order[i % order.size()]->id; }, 3))
        << "after " << i << " Tabs the focus is on " << Index(Focused());
  }
  // The picker opened on leaving SeedText, not on arriving there.
  EXPECT_EQ(std::tuple(pickers_answered_, form_->State().SaveFolder),
            std::tuple(answered + 1, std::filesystem::current_path().string()));
  AnswerPicker();
  PressKey(XK_Tab, true);  // Shift+Tab leaves SeedText too
  FocusOperatorWindow();
  EXPECT_TRUE(WaitUntil([] { return Focused() == DelayText(9); }, 3));
  EXPECT_EQ(pickers_answered_, answered + 2);
}

// Typing reaches the model, a click on the bare surface stops the automation, and the model's
// changes reach the widgets at once.
TEST_F(OperatorWindowTest, OperatorEditsAndClicksReachTheModelAndModelChangesTheWidgetsAtOnce) {
  const int answered = pickers_answered_ + (Focused() == K::kSeedText ? 1 : 0);
  if (answered > pickers_answered_) AnswerPicker();  // run alone: leaving SeedText opens it
  static_cast<Fl_Input&>(W(K::kPadText)).take_focus();
  ASSERT_TRUE(WaitUntil([&] {
    return pickers_answered_ == answered &&
           (host_->Picker() == nullptr || !host_->Picker()->Window().visible());
  }));
  FocusOperatorWindow();
  ASSERT_TRUE(WaitUntil([] { return Focused() == K::kPadText; })) << "the focus is not on PadText";
  Type("4");
  EXPECT_EQ(form_->Controls().Text(K::kPadText), "4");

  W(K::kFilenames).take_focus();
  Settle();
  Type("ab\ncd");
  EXPECT_EQ(form_->Controls().Text(K::kFilenames), "ab\r\ncd");
  // The bare surface; the divider line, which is no control; Label4 ("# Scans:"); Frame1; below
  // the pause label.
  const std::tuple<int, int, bool> clicks[] = {
      {310, 100, true}, {296, 100, true}, {500, 215, false}, {200, 5, false}, {620, 230, true}};
  for (const auto& [x, y, stops] : clicks) {
    form_->State().Running = true;
    Click(host_->Window(), x, y);
    EXPECT_EQ(form_->State().Running, !stops) << "at " << x << ", " << y;
  }
  form_->State().Running = false;

  form_->Controls().SetText(K::kFilenames, "one\r\ntwo\r\n");
  form_->Controls().SetText(K::kSendLabel, "scan@2&3");
  form_->Controls().SetValue(Option1(3), true);
  Settle();
  char* shown = host_->Widgets().Buffer(K::kFilenames)->text();
  EXPECT_STREQ(shown, "one\ntwo\n");
  free(shown);
  EXPECT_STREQ(W(K::kSendLabel).label(), "scan@@2&3");
  EXPECT_EQ(static_cast<Fl_Button&>(W(Option1(3))).value() +
                static_cast<Fl_Button&>(W(OptionAction(0))).value(),
            2);

  // A census of many windows adds its titles one by one; the widget shows the last DeskScan one.
  for (int i = 0; i < 2000; ++i)
    form_->Controls().AddItem(K::kCombo1, "window " + std::to_string(i));
  form_->Controls().SetText(K::kCombo1, "DeskScan II");
  Settle();
  EXPECT_STREQ(static_cast<ComboBox&>(W(K::kCombo1)).Input().value(), "DeskScan II");
  // Redrawn, Combo1 still lies beneath the filename list: along the edge of its edit field the
  // screen shows the list's white ground, not the field's sunken border.
  XImage* image =
      XGetImage(fl_display, fl_xid(&host_->Window()), 40, 248, 60, 21, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  // The left edge at x 40, the top edge at y 248.
  EXPECT_EQ(XGetPixel(image, 0, 10) & XGetPixel(image, 30, 0) & 0xFFFFFF, 0xFFFFFFu);
  XDestroyImage(image);

  // A status step is shown before any event is handled, written out, and arms the pause.
  status_lines_.clear();
  form_->Automation().Meter(3, "Clicking Final Button", 300);
  const auto& line = static_cast<Fl_Input&>(W(DelayText(3)));
  EXPECT_EQ(std::tuple(line.color(), std::string(line.value()), form_->State().Pausing),
            std::tuple(fl_rgb_color(255, 0, 0), "Clicking Final Button", true));
  ASSERT_EQ(status_lines_.size(), 1u);
  EXPECT_EQ(status_lines_[0].substr(2, 1) + status_lines_[0].substr(8),
            ":  line 3  Clicking Final Button");
  EXPECT_TRUE(WaitUntil([] { return !form_->State().Pausing; }, 3)) << "the pause never ended";
  Settle();
  EXPECT_STREQ(W(K::kSleepLabel).label(), "300");
}

}  // namespace
}  // namespace quorvel
