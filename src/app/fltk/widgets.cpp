#include "app/fltk/widgets.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "app/fltk/fltk_style.h"

namespace quorvel {

// A caption starts at the label's own edge and wraps within its width, without FLTK's margin.
void LabelWidget::draw() {
  draw_box();
  draw_label(x(), y(), w(), h());
}

LineWidget::LineWidget(int x1, int y1, int x2, int y2)
    : Fl_Widget(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1),
      x1_(x1),
      y1_(y1),
      x2_(x2),
      y2_(y2) {
  box(FL_NO_BOX);
  clear_visible_focus();
}

void LineWidget::draw() {
  fl_color(color());
  fl_line(x1_, y1_, x2_, y2_);
}

ComboBox::ComboBox(int x, int y, int w, int h) : Fl_Group(x, y, w, h) {
  const int button_width = std::min(Fl::scrollbar_size(), w / 2);
  input_ = new Fl_Input(x, y, w - button_width, h);
  button_ = new Button(*this, x + w - button_width, y, button_width, h);
  button_->clear_visible_focus();
  button_->callback(
      [](Fl_Widget* widget, void*) {
        auto* button = static_cast<Fl_Menu_Button*>(widget);
        auto* combo = static_cast<ComboBox*>(button->parent());
        if (button->mvalue() != nullptr && combo->on_pick) combo->on_pick(button->value());
      },
      nullptr);
  end();
  resizable(input_);
}

int ComboBox::Button::handle(int event) {
  const bool drops = event == FL_PUSH || (event == FL_KEYBOARD && Fl::focus() == this);
  if (drops) combo_.BuildMenu();
  return Fl_Menu_Button::handle(event);
}

void ComboBox::BuildMenu() {
  static const std::vector<std::string> kNoItems;
  menu_.Assign(items_ ? items_() : kNoItems, input_->textfont(), input_->textsize(),
               input_->textcolor());
  button_->menu(menu_.Items());
}

void LiteralMenu::Assign(const std::vector<std::string>& texts, Fl_Font font, Fl_Fontsize size,
                         Fl_Color color) {
  labels_.clear();
  items_.clear();
  labels_.reserve(texts.size());
  for (const std::string& text : texts) labels_.push_back(LiteralLabel(text, true));
  items_.reserve(labels_.size() + 1);
  for (const std::string& label : labels_) {
    Fl_Menu_Item item{};
    item.text = label.c_str();
    item.labelfont_ = font;
    item.labelsize_ = size;
    item.labelcolor_ = color;
    items_.push_back(item);
  }
  items_.push_back(Fl_Menu_Item{});
}

}  // namespace quorvel
