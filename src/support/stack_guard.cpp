#include "support/stack_guard.hpp"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace vormel {
namespace {

// The main thread's stack below `here` that is sure to exist: its limit, but no more than
// kMainThreadStackBytes.
uintptr_t main_thread_floor(uintptr_t here) {
  size_t budget = kMainThreadStackBytes;
  rlimit limit{};
  if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
    budget = std::min<size_t>(budget, limit.rlim_cur);
  return here > budget ? here - budget : 0;
}

// The lowest usable address of this thread's stack (stacks grow down on every target we
// build for), found once per thread.
uintptr_t stack_floor() {
  thread_local uintptr_t floor = [] {
    pthread_attr_t attr;
    void* base = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &base, &size);
      pthread_attr_destroy(&attr);
    }
    auto low = reinterpret_cast<uintptr_t>(base);
    if (getpid() == gettid()) {
      auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
      low = std::max(low, main_thread_floor(here));
    }
    return low;
  }();
  return floor;
}

}  // namespace

uintptr_t stack_limit_address() {
  uintptr_t floor = stack_floor();
  return floor == 0 ? 0 : floor + kStackReserveBytes;
}

bool stack_nearly_exhausted() {
  // The frame address, not a local's: sanitizers may move locals off the native stack.
  auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  uintptr_t floor = stack_floor();
  return floor != 0 && here < floor + kStackReserveBytes;
}

}  // namespace vormel
