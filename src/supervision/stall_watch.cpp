#include "supervision/stall_watch.h"

#include <algorithm>

namespace quorvel {

void StallWatch::Start(Clock::time_point now) {
  running_ = true;
  since_ = now;
  longest_page_ = {};
}

void StallWatch::Progress(Clock::time_point now) {
  longest_page_ = std::max(longest_page_, now - since_);
  since_ = now;
}

StallWatch::Clock::duration StallWatch::Limit() const {
  if (fixed_) return *fixed_;
  return std::max<Clock::duration>(std::chrono::minutes(10), 3 * longest_page_);
}

}  // namespace quorvel
