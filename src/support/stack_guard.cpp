#include "support/stack_guard.hpp"

#include <pthread.h>

#include <cstdint>

namespace vormel {
namespace {

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
    return reinterpret_cast<uintptr_t>(base);
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
