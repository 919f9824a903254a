// When a running series has stalled: no progress for the stall time, which is ten minutes, or
// three times the longest page of this series when that is longer, unless the operator gave one.
#pragma once

#include <chrono>
#include <optional>

namespace quorvel {

class StallWatch {
 public:
  using Clock = std::chrono::system_clock;

  explicit StallWatch(std::optional<std::chrono::seconds> fixed) : fixed_(fixed) {}

  // The series starts (or starts again): the time without progress counts from now.
  void Start(Clock::time_point now);
  void Stop() { running_ = false; }
  // A page was done.
  void Progress(Clock::time_point now);

  bool Stalled(Clock::time_point now) const { return running_ && now - since_ >= Limit(); }
  Clock::time_point Since() const { return since_; }
  Clock::duration Limit() const;

 private:
  std::optional<std::chrono::seconds> fixed_;
  bool running_ = false;
  Clock::time_point since_;
  Clock::duration longest_page_{};
};

}  // namespace quorvel
