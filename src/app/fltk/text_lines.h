// The multi-line text box keeps its lines apart with CR LF, as every text the program builds
// does; FLTK's text editor shows and types LF alone.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// CR LF becomes LF.
std::string DisplayText(std::string_view model_text);
// LF becomes CR LF.
std::string ModelText(std::string_view display_text);

}  // namespace quorvel
