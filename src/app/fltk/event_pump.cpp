#include "app/fltk/event_pump.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <chrono>

namespace quorvel {
namespace {

constexpr auto kQuietInterval = std::chrono::milliseconds(5);

}  // namespace

void PumpPendingEvents() {
  using Clock = std::chrono::steady_clock;
  static Clock::time_point last_check{};
  const Clock::time_point now = Clock::now();
  const bool waiting = fl_display != nullptr && XEventsQueued(fl_display, QueuedAfterReading) > 0;
  if (!waiting && now - last_check < kQuietInterval) return;
  last_check = now;
  Fl::check();
}

}  // namespace quorvel
