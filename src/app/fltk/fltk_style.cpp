#include "app/fltk/fltk_style.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <cmath>

namespace quorvel {

Fl_Color ToFlColor(Color color) {
  if (IsSystemColor(color)) {
    switch (SystemColorIndex(color)) {
      case 5:
        return FL_BACKGROUND2_COLOR;  // window background: the text boxes' ground
      case 8:
      case 18:
        return FL_FOREGROUND_COLOR;  // window text, button text
      case 15:
      default:
        return FL_BACKGROUND_COLOR;  // button face
    }
  }
  return fl_rgb_color(static_cast<uchar>(color & 0xFF), static_cast<uchar>((color >> 8) & 0xFF),
                      static_cast<uchar>((color >> 16) & 0xFF));
}

Fl_Font ToFlFont(const FontSpec& font) {
  return font.bold ? FL_HELVETICA_BOLD : FL_HELVETICA;
}

void UseHelveticaFace() {
  // The first character is FLTK's style mark: blank for regular, B for bold.
  Fl::set_font(FL_HELVETICA, " Helvetica");
  Fl::set_font(FL_HELVETICA_BOLD, "BHelvetica");
}

int ScreenDpi() {
  fl_open_display();
  float horizontal = 0;
  float vertical = 0;
  Fl::screen_dpi(horizontal, vertical);
  const int dpi = static_cast<int>(std::lround(vertical));
  return dpi >= 48 && dpi <= 480 ? dpi : 96;
}

std::string LiteralLabel(std::string_view text, bool in_menu) {
  std::string label;
  label.reserve(text.size());
  for (char c : text) {
    if (c == '@' || (in_menu && c == '&')) label += c;
    label += c;
  }
  return label;
}

}  // namespace quorvel
