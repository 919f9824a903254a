// The Win32 binding of the operator window, on a real (Wine) desktop: the control model mirrored
// to real controls, the operator's edits written back, the places, whole captions, stacking and
// tab order of the layout table, and the timers armed from the model. The system's resolution is
// 96 dots per inch, or as many as QUORVEL_DPI says (Wine's LogPixels): places and captions are
// checked at any.
#include "app/win32/win32_host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/layout_queries.h"
#include "app/scanner_form.h"
#include "app/win32/dialog_keys.h"
#include "app/win32/picker_window.h"
#include "common/virtual_clock.h"
#include "common/win32_text.h"
#include "sim/memory_file_system.h"
#include "sim/simulated_desktop.h"

namespace quorvel {
namespace {

int Dpi() {
  const char* dpi = std::getenv("QUORVEL_DPI");
  return dpi != nullptr ? std::atoi(dpi) : 96;
}

// Where a window's controls leave the places the table gives them, or cut their captions: the
// caption, laid out as the control draws it, must fit inside the control, which clips it.
std::vector<std::string> Misfits(const FormWindow& window) {
  std::vector<std::string> misfits;
  for (const ControlSpec& row : window.Layout().controls) {
    HWND control = window.ControlWindow(row.id);
    if (control == nullptr) continue;
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&place), 2);
    const PixelRect table = ToPixels(AbsoluteRect(row), window.Dpi());
    // A drop-down list's height is the system's, from its font.
    const bool drops = row.kind == ControlKind::kComboBox || row.kind == ControlKind::kDriveList;
    if (place.left != table.left || place.top != table.top ||
        place.right - place.left != table.width ||
        (!drops && place.bottom - place.top != table.height)) {
      misfits.push_back(std::string(row.name) + " is not where the table puts it");
    }
    const bool option = row.kind == ControlKind::kOptionButton;
    if (*row.caption == '\0' ||
        (!option && row.kind != ControlKind::kLabel && row.kind != ControlKind::kCommandButton)) {
      continue;
    }
    RECT client{};
    GetClientRect(control, &client);
    // An option button's mark and the gap after it; a command button's raised edges.
    const int edge = GetSystemMetrics(SM_CXEDGE);
    const int inset = option ? GetSystemMetrics(SM_CXMENUCHECK) + edge
                      : row.kind == ControlKind::kCommandButton ? 2 * edge
                                                                : 0;
    RECT text{0, 0, client.right - inset, 0};
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, Utf8ToWide(row.caption).c_str(), -1, &text,
              DT_CALCRECT | DT_NOPREFIX | (option ? DT_SINGLELINE : DT_WORDBREAK));
    ReleaseDC(control, dc);
    if (text.right > client.right - inset || text.bottom > client.bottom)
      misfits.push_back(std::string(row.caption) + " is cut");
  }
  return misfits;
}

// The process declared DPI-aware, as Quorvel.exe's manifest declares it. The call is looked up:
// Windows XP, which scales nothing, has none.
bool DeclareDpiAware() {
  const auto declare = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware")));
  return declare == nullptr || declare() != FALSE;
}

class Win32HostTest : public testing::Test {
 protected:
  Win32HostTest()
      : dpi_aware_(DeclareDpiAware()),
        desktop_(clock_),
        files_([this] { return desktop_.Now(); }, "C:\\"),
        host_(GetModuleHandleW(nullptr)),
        form_(desktop_, files_, host_) {}

  void SetUp() override {
    window_ = host_.Create(form_);
    ASSERT_NE(window_, nullptr);
    host_.Show(SW_SHOWNORMAL);
  }

  HWND Control(ControlId id) const { return host_.Window().ControlWindow(id); }
  static std::string Text(HWND window) {
    wchar_t text[256] = {};  // more than any text the cases give
    GetWindowTextW(window, text, 256);
    return WideToUtf8(text);
  }
  bool Checked(ControlId id) const {
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  ControlId Focus() const { return host_.Window().ControlOf(GetFocus()); }
  // A key as the window's message loop receives it.
  void Press(WPARAM key, bool shift = false) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    EXPECT_TRUE(TranslateDialogKeys(msg, host_.Window()));
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }

  bool dpi_aware_;
  VirtualClock clock_;
  SimulatedDesktop desktop_;
  MemoryFileSystem files_;
  Win32Host host_;
  ScannerForm form_;
  HWND window_ = nullptr;
};

// The model and the controls mirror each other, and the timers run from the model.
TEST_F(Win32HostTest, ModelAndControlsMirrorEachOtherAndTimersRunFromTheModel) {
  // SleepTimer_Timer runs from the model's state, ends the pause and disables the timer, while the
  // program's events run as the cycle runs them when it pumps (5 s at most). Pumped before the
  // edits below move the focus out of SeedText: the picker that opens then would hold the pump.
  form_.State().Pausing = true;
  form_.Controls().SetTimer(ControlId::kSleepTimer, 50, true);
  const DWORD began = GetTickCount();
  while (form_.State().Pausing && GetTickCount() - began < 5000) {
    host_.PumpEvents();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  EXPECT_FALSE(form_.State().Pausing) << "the pause never ended";
  EXPECT_FALSE(form_.Controls()[ControlId::kSleepTimer].timer_enabled);

  ControlModel& model = form_.Controls();
  model.SetText(ControlId::kFilenames, "Müller\r\nétude 5%\r\n");
  EXPECT_EQ(Text(Control(ControlId::kFilenames)), "Müller\r\nétude 5%\r\n");
  model.SetValue(Option1(4), true);
  model.SetValue(Option1(2), true);  // clears its group only
  EXPECT_EQ(std::tuple(Checked(Option1(4)), Checked(Option1(2)), Checked(OptionAction(0))),
            std::tuple(false, true, true));
  // A census's many titles reach the combo box in one go, at the repaint.
  for (int i = 0; i < 2000; ++i) model.AddItem(ControlId::kCombo1, "Window " + std::to_string(i));
  EXPECT_EQ(SendMessageW(Control(ControlId::kCombo1), CB_GETCOUNT, 0, 0), 0);
  host_.Repaint(ControlId::kCombo1);
  EXPECT_EQ(SendMessageW(Control(ControlId::kCombo1), CB_GETCOUNT, 0, 0), 2000);

  HWND seed = Control(ControlId::kSeedText);
  for (wchar_t c : std::wstring(L"pagé")) SendMessageW(seed, WM_CHAR, c, 0);
  EXPECT_EQ(model.Text(ControlId::kSeedText), "pagé");
  // Written back, the text would have been replaced and the caret sent to the start.
  DWORD start = 0, end = 0;
  SendMessageW(seed, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(std::pair(start, end), std::pair(DWORD{4}, DWORD{4}));
  SendMessageW(Control(OptionAction(2)), BM_CLICK, 0, 0);
  EXPECT_TRUE(model.Value(OptionAction(2)) && !Checked(OptionAction(0)));
}

// The operator window starts with the table's values and the focus in SeedText, its controls
// stacked and tabbed through in the table's orders; it and the picker keep the tables' places and
// whole captions.
TEST_F(Win32HostTest, BothWindowsStartAsTheTablesSayAndTabFollowsTheTabIndex) {
  ASSERT_EQ(host_.Window().Dpi(), Dpi()) << "the system's resolution (Wine's LogPixels)";
  EXPECT_EQ(Text(window_), "Odrin's HP Scanner Error Workaround");
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(std::pair(client.right, client.bottom),
            (std::pair<LONG, LONG>(TwipsToPixels(10035, Dpi()), TwipsToPixels(4650, Dpi()))));
  EXPECT_EQ(GetWindowLongW(window_, GWL_STYLE) & WS_THICKFRAME, 0);  // fixed border
  EXPECT_EQ(std::tuple(Checked(OptionAction(0)), IsWindowVisible(Control(ControlId::kList1)) != 0,
                       IsWindowVisible(Control(ControlId::kFilenames)) != 0, Focus()),
            std::tuple(true, false, true, ControlId::kSeedText));
  EXPECT_EQ(Misfits(host_.Window()), std::vector<std::string>{});

  std::vector<ControlId> stacked;
  for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    stacked.push_back(host_.Window().ControlOf(child));
  std::vector<ControlId> expected;
  for (const ControlSpec* row : StackingOrder(ScannerFormLayout())) expected.push_back(row->id);
  EXPECT_EQ(stacked, expected);

  // What a click at a point of the client area lands on.
  const auto on_top_at = [&](int x_twips, int y_twips) {
    POINT point{TwipsToPixels(x_twips, Dpi()), TwipsToPixels(y_twips, Dpi())};
    return host_.Window().ControlOf(ChildWindowFromPointEx(window_, point, CWP_SKIPINVISIBLE));
  };
  EXPECT_EQ(on_top_at(600 + 100, 3720 + 100), ControlId::kFilenames);  // Combo1 lies beneath
  EXPECT_EQ(on_top_at(3360 + 950, 4080 + 480), ControlId::kCommand4);  // its uncovered strip
  EXPECT_EQ(on_top_at(8160 + 100, 120 + 240 + 20), DelayText(1));      // the overlap
  EXPECT_EQ(on_top_at(120 + 120 + 100, 240 + 100), OptionAction(0));   // inside Frame1

  // Tab follows the tab index round the window, from SeedText.
  const std::vector<const ControlSpec*> order = TabOrder(ScannerFormLayout());
  for (std::size_t step = 1; step <= order.size(); ++step) {
    Press(VK_TAB);
    EXPECT_EQ(Focus(), order[step % order.size()]->id) << step;
  }
  Press(VK_TAB, true);
  EXPECT_EQ(Focus(), order.back()->id);

  // The arrow keys move round an option group and choose the button they reach.
  SetFocus(Control(Option1(1)));
  Press(VK_DOWN);
  EXPECT_EQ(std::pair(Focus(), form_.Controls().Value(Option1(2))), std::pair(Option1(2), true));
  Press(VK_UP);
  Press(VK_UP);
  EXPECT_EQ(std::tuple(Focus(), form_.Controls().Value(Option1(0)),
                       form_.Controls().Value(OptionAction(0))),
            std::tuple(Option1(0), true, true));

  SaveDirForm model(host_, files_);
  PickerWindow picker(GetModuleHandleW(nullptr), model, form_.Controls());
  ASSERT_NE(picker.Handle(), nullptr);
  GetClientRect(picker.Handle(), &client);
  EXPECT_EQ(std::pair(client.right, client.bottom),
            (std::pair<LONG, LONG>(TwipsToPixels(4680, Dpi()), TwipsToPixels(3630, Dpi()))));
  EXPECT_EQ(Misfits(picker.Window()), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorvel
