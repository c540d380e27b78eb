// Frame pacing and the delta time: measures each frame from the end of the previous
// present step's pacing, and sleeps at most once to keep to the frame-rate limit.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace vormel {

class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;

  FramePacer() : last_frame_(Clock::now()) {}

  // A stored limit of 0 (an accepted multiple of 2^32) would mean an endless frame; it is
  // treated as no limit.
  void set_limit(uint32_t frames_per_second) { limit_ = frames_per_second; }
  // Measure, pace, restart the clock: steps 2 to 4 of the present step.
  void end_frame();
  // A new window starts a fresh measurement.
  void restart();

  double delta_time() const { return delta_time_; }

 private:
  std::optional<uint32_t> limit_;
  Clock::time_point last_frame_;
  double delta_time_ = 0.0;
};

}  // namespace vormel
