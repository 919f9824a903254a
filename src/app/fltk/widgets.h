// The FLTK widgets that stand for the layout table's kinds of control where FLTK has no widget of
// that kind: a label that draws its caption from its own top left corner, a line, and a combo box
// (edit field with a drop-down list) whose list is built only when it drops down.
#pragma once

#include <FL/Fl_Box.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Menu_Item.H>

#include <functional>
#include <string>
#include <vector>

namespace quorvel {

class LabelWidget : public Fl_Box {
 public:
  LabelWidget(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
  void draw() override;
};

// A straight line between two points of its parent window, in its colour.
class LineWidget : public Fl_Widget {
 public:
  LineWidget(int x1, int y1, int x2, int y2);
  void draw() override;

 private:
  int x1_, y1_, x2_, y2_;
};

// Menu entries that show their texts as they are: no submenus, shortcut marks or symbols.
class LiteralMenu {
 public:
  void Assign(const std::vector<std::string>& texts, Fl_Font font, Fl_Fontsize size,
              Fl_Color color);
  const Fl_Menu_Item* Items() const { return items_.data(); }

 private:
  std::vector<std::string> labels_;
  std::vector<Fl_Menu_Item> items_;
};

class ComboBox : public Fl_Group {
 public:
  ComboBox(int x, int y, int w, int h);

  Fl_Input& Input() { return *input_; }
  Fl_Menu_Button& DropButton() { return *button_; }
  // Where the list's entries come from; read each time the list drops down, so that a list that
  // changes thousands of times between two looks costs nothing until it is looked at.
  void SetItems(std::function<const std::vector<std::string>&()> items) {
    items_ = std::move(items);
  }
  // The operator picked the entry at this index from the list.
  std::function<void(int)> on_pick;

 private:
  class Button : public Fl_Menu_Button {
   public:
    Button(ComboBox& combo, int x, int y, int w, int h)
        : Fl_Menu_Button(x, y, w, h), combo_(combo) {}
    int handle(int event) override;

   private:
    ComboBox& combo_;
  };

  void BuildMenu();

  Fl_Input* input_;
  Button* button_;
  std::function<const std::vector<std::string>&()> items_;
  LiteralMenu menu_;
};

}  // namespace quorvel
