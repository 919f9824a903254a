#include "common/virtual_clock.h"

namespace quorvel {

VirtualClock::EventId VirtualClock::At(Ms when, std::function<void()> action) {
  const EventId id = next_id_++;
  events_.emplace(std::make_pair(when, id), std::move(action));
  times_.emplace(id, when);
  return id;
}

void VirtualClock::Cancel(EventId id) {
  const auto it = times_.find(id);
  if (it == times_.end()) return;
  events_.erase({it->second, id});
  times_.erase(it);
}

bool VirtualClock::RunFirstDueBy(Ms limit) {
  if (events_.empty() || events_.begin()->first.first > limit) return false;
  auto node = events_.extract(events_.begin());
  times_.erase(node.key().second);
  if (node.key().first > now_) now_ = node.key().first;
  node.mapped()();
  return true;
}

void VirtualClock::RunDue() {
  while (RunFirstDueBy(now_)) {
  }
}

void VirtualClock::AdvanceTo(Ms until) {
  while (RunFirstDueBy(until)) {
  }
  if (until > now_) now_ = until;
}

}  // namespace quorvel
