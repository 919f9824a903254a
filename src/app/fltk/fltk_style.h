// How the layout table's colours, fonts and texts look in FLTK.
#pragma once

#include <FL/Enumerations.H>

#include <string>
#include <string_view>

#include "app/layout.h"

namespace quorvel {

// System colours map to FLTK's own (window background and text, button face and text); a literal
// 0x00BBGGRR colour to the same red, green and blue.
Fl_Color ToFlColor(Color color);

// MS Sans Serif is drawn as FLTK's Helvetica, bold where asked.
Fl_Font ToFlFont(const FontSpec& font);

// Makes FLTK's Helvetica the Helvetica face of the desktop (a metric twin where there is one)
// rather than its wider default sans-serif face, so that captions fit where the table puts them.
void UseHelveticaFace();

// The screen's resolution in dots per inch, as the display reports it (96 where it tells none).
// Opens the display.
int ScreenDpi();

// A text shown as it is: FLTK reads "@" in a label as a symbol and, in menus, "&" as a shortcut
// mark; both are doubled.
std::string LiteralLabel(std::string_view text, bool in_menu);

}  // namespace quorvel
