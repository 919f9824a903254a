// What a key press on an X window means as a key of the key model, and how it is logged.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>

#include "desktop/key_string.h"

namespace quorvel {

struct ReceivedKey {
  std::optional<Key> key;  // nothing for a key the model has no word for
  std::string spelling;    // as the log writes it; {Name} for such a key
};

// Nothing for a modifier key (Shift, Alt, ...) pressed on its own.
std::optional<ReceivedKey> TranslateKeyPress(XKeyEvent& event);

}  // namespace quorvel
