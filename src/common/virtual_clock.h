// Time that passes only when told to: the headless binding's timers and the simulated desktop's
// events run on it, so an hour of scanning takes milliseconds.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace quorvel {

class VirtualClock {
 public:
  using Ms = std::int64_t;
  using EventId = std::uint64_t;

  Ms Now() const { return now_; }

  // Runs `action` once the clock reaches `when` (at once, at the next pump, if that has passed).
  EventId At(Ms when, std::function<void()> action);
  EventId After(Ms delay, std::function<void()> action) {
    return At(now_ + delay, std::move(action));
  }
  void Cancel(EventId id);

  // Runs every event due by now, in time order, including those that come due while running.
  void RunDue();
  // Moves the clock forward to `until`, running each event at its own time.
  void AdvanceTo(Ms until);
  void Advance(Ms delay) { AdvanceTo(now_ + delay); }
  // Time of the next scheduled event, or -1 when there is none.
  Ms NextEventTime() const { return events_.empty() ? -1 : events_.begin()->first.first; }

 private:
  bool RunFirstDueBy(Ms limit);

  Ms now_ = 0;
  EventId next_id_ = 1;
  // Keyed by (time, id): events of the same time run in the order they were scheduled.
  std::map<std::pair<Ms, EventId>, std::function<void()>> events_;
  std::map<EventId, Ms> times_;
};

}  // namespace quorvel
