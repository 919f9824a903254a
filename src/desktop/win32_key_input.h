// The keyboard input events that type one key of a key string through SendInput.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "desktop/key_string.h"

namespace quorvel {

// Presses and releases of one key, complete in itself: an Alt chord ends with Alt released.
// Alt chords, Enter and Tab are virtual keys; a character is typed as itself (KEYEVENTF_UNICODE,
// two UTF-16 units outside the basic plane), whatever the keyboard layout.
std::vector<INPUT> KeyInputs(const Key& key);

// The releases of every key that the events `sent` leave pressed, the last pressed first: what
// lets go of the keyboard when a delivery stops partway through a key.
std::vector<INPUT> ReleasesOfHeld(std::span<const INPUT> sent);

}  // namespace quorvel
