#include "interpreter/graphics/frame_pacer.hpp"

#include <cmath>
#include <thread>

#include "interpreter/step_budget.hpp"

namespace vormel {
namespace {

double seconds(std::chrono::nanoseconds elapsed) {
  const auto whole = std::chrono::duration_cast<std::chrono::seconds>(elapsed);
  return static_cast<double>(whole.count()) +
         static_cast<double>((elapsed - whole).count()) / 1000000000.0;
}

}  // namespace

void FramePacer::end_frame() {
  auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - last_frame_);
  delta_time_ = seconds(elapsed);
  if (limit_ && *limit_ != 0) {
    const std::chrono::nanoseconds frame_time(
        std::llround(1.0 / static_cast<double>(*limit_) * 1000000000.0));
    // Under fuzzing, a paced frame is work too: four steps per millisecond of the frame,
    // however much of it is slept, so that the count does not depend on how fast the
    // frame's code ran (the differential fuzzer expects the same count on both paths).
    spend_steps(4 * static_cast<uint64_t>(frame_time.count() / 1000000));
    if (frame_time > elapsed) {
      std::this_thread::sleep_for(frame_time - elapsed);
      elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - last_frame_);
      delta_time_ = seconds(elapsed);
    }
  }
  last_frame_ = Clock::now();
}

void FramePacer::restart() {
  last_frame_ = Clock::now();
  delta_time_ = 0.0;
}

}  // namespace vormel
