#include "app/fltk/fltk_host.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/fl_ask.H>
#include <FL/x.H>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "app/fltk/event_pump.h"
#include "app/fltk/fltk_style.h"
#include "app/fltk/picker_window.h"
#include "app/fltk/text_lines.h"
#include "app/fltk/widgets.h"
#include "app/icon.h"
#include "app/scanner_form.h"

namespace quorvel {
namespace {

// One host drives the program's windows; the event hook reaches it here.
FltkHost* g_host = nullptr;

const Fl_RGB_Image& ProgramIcon() {
  static const auto pixels = [] {
    std::vector<uchar> rgb;
    rgb.reserve(kIconSize * kIconSize * 3);
    for (int y = 0; y < kIconSize; ++y) {
      for (int x = 0; x < kIconSize; ++x) {
        const IconColor& c = IconPalette()[static_cast<std::size_t>(IconPixel(x, y))];
        rgb.insert(rgb.end(), {c.red, c.green, c.blue});
      }
    }
    return rgb;
  }();
  static const Fl_RGB_Image icon(pixels.data(), kIconSize, kIconSize, 3);
  return icon;
}

// Shift+Tab arrives as ISO_Left_Tab on some keymaps.
bool IsTabKey(int key) {
  return key == FL_Tab || key == 0xfe20;
}

bool IsArrowKey(int key) {
  return key == FL_Left || key == FL_Right || key == FL_Up || key == FL_Down;
}

}  // namespace

FltkHost::FltkHost() : dpi_(ScreenDpi()) {
  UseHelveticaFace();
  const WindowSpec& layout = ScannerFormLayout();
  const int width = TwipsToPixels(layout.client_width, dpi_);
  const int height = TwipsToPixels(layout.client_height, dpi_);
  Fl_Group::current(nullptr);
  window_ = std::make_unique<SurfaceWindow>(width, height, layout.caption);
  window_->end();
  widgets_ = std::make_unique<FormWidgets>(layout, *window_, dpi_);
  window_->size_range(width, height, width, height);  // a fixed frame
  Fl_Window::default_icon(&ProgramIcon());
  window_->icon(&ProgramIcon());
  shown_labels_.resize(kControlCount);
  for (const ControlSpec& row : layout.controls) shown_labels_[Index(row.id)] = row.caption;

  Fl::visible_focus(1);
  fl_close = "OK";
  fl_message_title_default("Quorvel");
  fl_message_font(ToFlFont(kDefaultFont),
                  static_cast<Fl_Fontsize>(PointsToPixels(kDefaultFont.points, dpi_)));
  fl_message_icon()->hide();
}

FltkHost::~FltkHost() {
  if (g_host == this) {
    g_host = nullptr;
    Fl::event_dispatch(nullptr);
  }
  Fl::remove_timeout(&FltkHost::OnTimer, &timer1_);
  Fl::remove_timeout(&FltkHost::OnTimer, &sleep_timer_);
  Fl::remove_check(&FltkHost::OnCheck);
}

void FltkHost::Attach(ScannerForm& form) {
  form_ = &form;
  g_host = this;
  for (const ControlSpec& row : ScannerFormLayout().controls) Sync(row.id);
  WireWidgets();
  Fl::event_dispatch(&FltkHost::Dispatch);
  // Model changes reach the widgets just before FLTK draws, however many come in between.
  Fl::add_check(&FltkHost::OnCheck);
}

void FltkHost::Show() {
  window_->show();
  if (const ControlSpec* first = NextInTabOrder(ScannerFormLayout(), ControlId::kNone, false)) {
    widgets_->FocusWidget(first->id)->take_focus();
  }
  CheckFocus();
}

void FltkHost::WireWidgets() {
  for (const ControlSpec& row : ScannerFormLayout().controls) {
    Fl_Widget* widget = widgets_->Widget(row.id);
    if (widget == nullptr) continue;
    switch (row.kind) {
      case ControlKind::kTextBox:
        widget->when(FL_WHEN_CHANGED);
        widget->callback(&FltkHost::OnWidget, this);
        break;
      case ControlKind::kMultiLineTextBox:
        widgets_->Buffer(row.id)->add_modify_callback(
            [](int, int, int, int, const char*, void* data) {
              auto* host = static_cast<FltkHost*>(data);
              if (host->syncing_ || host->form_ == nullptr) return;
              host->syncing_ = true;
              char* text = host->widgets_->Buffer(ControlId::kFilenames)->text();
              host->form_->Controls().SetText(ControlId::kFilenames, ModelText(text));
              std::free(text);
              host->syncing_ = false;
            },
            this);
        break;
      case ControlKind::kOptionButton:
      case ControlKind::kCommandButton:
        widget->callback(&FltkHost::OnWidget, this);
        break;
      case ControlKind::kComboBox: {
        auto* combo = static_cast<ComboBox*>(widget);
        combo->Input().when(FL_WHEN_CHANGED);
        combo->Input().callback(&FltkHost::OnWidget, this);
        combo->SetItems([this]() -> const std::vector<std::string>& {
          return form_->Controls()[ControlId::kCombo1].items;
        });
        combo->on_pick = [this](int index) {
          const std::vector<std::string>& items = form_->Controls()[ControlId::kCombo1].items;
          if (index >= 0 && index < static_cast<int>(items.size())) {
            form_->Controls().SetText(ControlId::kCombo1, items[static_cast<std::size_t>(index)]);
          }
        };
        break;
      }
      default:
        break;
    }
  }
  window_->callback(
      [](Fl_Widget*, void* data) {
        // Escape does not close the window; the window manager's close command does.
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
        auto* host = static_cast<FltkHost*>(data);
        host->form_->Terminate();
        host->Quit();
      },
      this);
  window_->on_surface_click = [this](int x, int y) {
    if (IsBareSurface(ScannerFormLayout(), PixelsToTwips(x, dpi_), PixelsToTwips(y, dpi_))) {
      form_->Clicked(ControlId::kNone);
    }
  };
}

void FltkHost::OnWidget(Fl_Widget* widget, void* data) {
  auto* host = static_cast<FltkHost*>(data);
  ScannerForm& form = *host->form_;
  const ControlId id = host->widgets_->ControlOf(widget);
  switch (SpecOf(id).kind) {
    case ControlKind::kTextBox:
    case ControlKind::kComboBox: {
      const auto* input = static_cast<Fl_Input*>(widget);
      form.Controls().SetText(id,
                              std::string(input->value(), static_cast<std::size_t>(input->size())));
      return;
    }
    case ControlKind::kOptionButton:
      if (static_cast<Fl_Button*>(widget)->value() != 0) form.Clicked(id);
      return;
    default:
      form.Clicked(id);
      return;
  }
}

void FltkHost::ControlChanged(ControlId id) {
  if (form_ == nullptr || syncing_) return;
  if (IsTimer(id)) {
    ArmTimer(id);
    return;
  }
  if (widgets_->Widget(id) == nullptr || dirty_[Index(id)]) return;
  dirty_[Index(id)] = true;
  dirty_list_.push_back(id);
}

void FltkHost::OnCheck(void*) {
  if (g_host != nullptr) g_host->SyncDirty();
}

void FltkHost::SyncDirty() {
  // Syncing may pump no events, so the list does not grow while it is walked.
  for (ControlId id : dirty_list_) Sync(id);
  dirty_list_.clear();
  dirty_.reset();
}

// Shows the model's value of one control in its widget, touching the widget only where the value
// differs from what it shows, so an edit the operator just made is left as it is.
void FltkHost::Sync(ControlId id) {
  if (IsTimer(id)) {
    ArmTimer(id);
    return;
  }
  Fl_Widget* widget = widgets_->Widget(id);
  if (widget == nullptr) return;
  const ControlState& state = form_->Controls()[id];
  const ControlSpec& row = SpecOf(id);
  syncing_ = true;
  switch (row.kind) {
    case ControlKind::kTextBox: {
      auto* input = static_cast<Fl_Input*>(widget);
      if (std::string_view(input->value(), static_cast<std::size_t>(input->size())) != state.text) {
        input->value(state.text.data(), static_cast<int>(state.text.size()));
      }
      break;
    }
    case ControlKind::kComboBox: {
      Fl_Input& input = static_cast<ComboBox*>(widget)->Input();
      if (std::string_view(input.value(), static_cast<std::size_t>(input.size())) != state.text) {
        input.value(state.text.data(), static_cast<int>(state.text.size()));
      }
      break;
    }
    case ControlKind::kMultiLineTextBox: {
      Fl_Text_Buffer* buffer = widgets_->Buffer(id);
      const std::string shown = DisplayText(state.text);
      char* text = buffer->text();
      if (shown != text) buffer->text(shown.c_str());
      std::free(text);
      break;
    }
    case ControlKind::kOptionButton:
      static_cast<Fl_Button*>(widget)->value(state.value ? 1 : 0);
      [[fallthrough]];
    case ControlKind::kCommandButton:
    case ControlKind::kLabel:
      if (shown_labels_[Index(id)] != state.text) {
        shown_labels_[Index(id)] = state.text;
        widget->copy_label(LiteralLabel(state.text, false).c_str());
        widget->redraw();
      }
      break;
    default:
      break;  // the hidden list's entries are never shown
  }
  widgets_->SetColors(id, state.back, state.fore);
  if (state.visible != (widget->visible() != 0)) {
    if (state.visible) {
      widget->show();
    } else {
      widget->hide();
    }
  }
  syncing_ = false;
}

void FltkHost::Repaint(ControlId id) {
  if (form_ == nullptr) return;
  Sync(id);
  if (Fl_Widget* widget = widgets_->Widget(id)) {
    widget->redraw();
    Fl::flush();
  }
  for (int line = 0; line < kStatusLines; ++line) {
    if (id == DelayText(line)) WriteStatusLine(line);
  }
}

void FltkHost::WriteStatusLine(int line) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char clock[16];
  std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
  const std::string text = std::string(clock) + "  line " + std::to_string(line) + "  " +
                           form_->Controls().Text(DelayText(line));
  if (on_status_line) {
    on_status_line(text);
  } else {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  }
}

void FltkHost::ShowMessage(const std::string& text) {
  fl_message_icon()->hide();
  fl_message_title("Quorvel");
  fl_message("%s", text.c_str());
}

// The default button is the one Enter presses: FLTK's second.
bool FltkHost::Ask(const std::string& text, bool yes_first) {
  fl_message_icon()->hide();
  fl_message_title("Quorvel");
  return yes_first ? fl_choice("%s", "No", "Yes", nullptr, text.c_str()) == 1
                   : fl_choice("%s", "Yes", "No", nullptr, text.c_str()) == 0;
}

void FltkHost::ShowAlert(const std::string& title, const std::string& text) {
  alert_.Show(title, text, dpi_);
}

void FltkHost::Bell() {
  fl_beep(FL_BEEP_DEFAULT);
}

void FltkHost::PumpEvents() {
  PumpPendingEvents();
}

void FltkHost::ShowModal(SaveDirForm& picker) {
  // A press that moved the focus and so opened the picker does not also click when it is
  // released: the button under it shows its value from the model again.
  if (Fl_Widget* pushed = Fl::pushed();
      pushed != nullptr && widgets_->ControlOf(pushed) != ControlId::kNone) {
    Fl::pushed(nullptr);
    Sync(widgets_->ControlOf(pushed));
    pushed->redraw();
  }
  // The control the focus was moving to when the picker opened gets it back when it closes.
  const ControlId resume = focus_;
  if (!picker_) picker_ = std::make_unique<PickerWindow>(dpi_);
  picker_->RunModal(picker);
  if (resume != ControlId::kNone) {
    widgets_->FocusWidget(resume)->take_focus();
    focus_ = resume;
  }
}

WindowPosition FltkHost::GetWindowPosition() {
  int x = window_->x();
  int y = window_->y();
  if (!window_->shown() && !moved_) {
    // The window manager places a new window only when it maps it; until then the window's
    // place is the middle of the screen.
    int screen_x = 0;
    int screen_y = 0;
    int screen_w = 0;
    int screen_h = 0;
    Fl::screen_work_area(screen_x, screen_y, screen_w, screen_h);
    x = screen_x + (screen_w - window_->w()) / 2;
    y = screen_y + (screen_h - window_->h()) / 2;
  }
  return {static_cast<double>(PixelsToTwips(y, dpi_)), static_cast<double>(PixelsToTwips(x, dpi_))};
}

void FltkHost::MoveWindow(WindowPosition position) {
  moved_ = true;
  window_->position(TwipsToPixels(static_cast<int>(position.left), dpi_),
                    TwipsToPixels(static_cast<int>(position.top), dpi_));
}

void FltkHost::Quit() {
  std::fflush(nullptr);
  // The windows go with the connection to the display at once, even while a file server that
  // does not answer holds a thread of the program, and with it the program's end.
  if (fl_display != nullptr) XCloseDisplay(fl_display);
  std::_Exit(0);
}

void FltkHost::ArmTimer(ControlId id) {
  Timer& timer = id == ControlId::kTimer1 ? timer1_ : sleep_timer_;
  Fl::remove_timeout(&FltkHost::OnTimer, &timer);
  const ControlState& state = form_->Controls()[id];
  if (!state.timer_enabled || state.interval_ms <= 0) return;
  timer.seconds = state.interval_ms / 1000.0;
  Fl::add_timeout(timer.seconds, &FltkHost::OnTimer, &timer);
}

// Each expiry arms the next one first, so the period does not drift; a handler that disables
// or re-arms the timer removes it again.
void FltkHost::OnTimer(void* data) {
  auto* timer = static_cast<Timer*>(data);
  Fl::repeat_timeout(timer->seconds, &FltkHost::OnTimer, timer);
  timer->host->form_->TimerFired(timer->id);
}

int FltkHost::Dispatch(int event, Fl_Window* window) {
  FltkHost* host = g_host;
  if (host != nullptr && event == FL_KEYBOARD && (Fl::event_state() & (FL_CTRL | FL_ALT)) == 0) {
    const int key = Fl::event_key();
    if (IsTabKey(key) && host->MoveFocus(window, (Fl::event_state() & FL_SHIFT) != 0)) {
      host->CheckFocus();
      return 1;
    }
    // The arrow keys work inside the focused control only; they never move the focus.
    Fl_Widget* focus = Fl::focus();
    if (IsArrowKey(key) && focus != nullptr &&
        host->widgets_->ControlOf(focus) != ControlId::kNone) {
      focus->handle(FL_KEYBOARD);
      return 1;
    }
  }
  const int used = Fl::handle_(event, window);
  if (g_host != nullptr) g_host->CheckFocus();
  return used;
}

bool FltkHost::MoveFocus(Fl_Window* window, bool backwards) {
  const FormWidgets* widgets = nullptr;
  Fl_Widget* focus = Fl::focus();
  if (picker_ && focus != nullptr && picker_->Widgets().ControlOf(focus) != ControlId::kNone) {
    widgets = &picker_->Widgets();
  } else if (focus != nullptr ? widgets_->ControlOf(focus) != ControlId::kNone
                              : window == window_.get()) {
    widgets = widgets_.get();
  } else {
    return false;
  }
  ControlId at = focus != nullptr ? widgets->ControlOf(focus) : ControlId::kNone;
  const auto count = TabOrder(widgets->Layout()).size();
  for (std::size_t tries = 0; tries < count; ++tries) {
    const ControlSpec* next = NextInTabOrder(widgets->Layout(), at, backwards);
    if (next == nullptr) break;
    Fl_Widget* target = widgets->FocusWidget(next->id);
    if (target->visible_r() && target->active_r() && target->take_focus()) break;
    at = next->id;
  }
  return true;
}

// Tells the form of every move of the focus between the operator window's controls, and of the
// focus leaving them (kNone).
void FltkHost::CheckFocus() {
  if (form_ == nullptr) return;
  const ControlId now = widgets_->ControlOf(Fl::focus());
  if (now == focus_) return;
  const ControlId from = focus_;
  focus_ = now;
  form_->FocusChanged(from, now);
}

}  // namespace quorvel
