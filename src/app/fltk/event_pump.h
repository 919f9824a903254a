// The event pump of the Linux program.
#pragma once

namespace quorvel {

// Handles the program's pending events (clicks, keys, due timers, repaints). A census pumps once
// per window, so with thousands of windows a pump must cost next to nothing when nothing waits:
// the full Fl::check() runs when the X connection holds events, and otherwise at most every
// few milliseconds, which is how soon a due timer or a repaint is handled.
void PumpPendingEvents();

}  // namespace quorvel
