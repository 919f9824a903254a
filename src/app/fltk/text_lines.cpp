#include "app/fltk/text_lines.h"

namespace quorvel {

std::string DisplayText(std::string_view model_text) {
  std::string text;
  text.reserve(model_text.size());
  for (std::size_t i = 0; i < model_text.size(); ++i) {
    const bool crlf =
        model_text[i] == '\r' && i + 1 < model_text.size() && model_text[i + 1] == '\n';
    if (!crlf) text += model_text[i];
  }
  return text;
}

std::string ModelText(std::string_view display_text) {
  std::string text;
  text.reserve(display_text.size() + display_text.size() / 8);
  for (char c : display_text) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

}  // namespace quorvel
