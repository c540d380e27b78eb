// How much native stack the current thread has left. Recursive code (the parser, the
// evaluator, text forms of nested values) checks this to fail cleanly instead of crashing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vormel {

// Bytes kept in reserve: recursion stops once less than this is left.
inline constexpr size_t kStackReserveBytes = size_t{1} << 20;
// The process's main thread grows its stack on demand, up to a limit that may be unlimited
// or beyond what the address space can hold: the guard counts on this much of it only.
inline constexpr size_t kMainThreadStackBytes = size_t{8} << 20;

// True when less than kStackReserveBytes of the current thread's stack remain.
bool stack_nearly_exhausted();

// The address below which the current thread's stack is nearly exhausted (0 when unknown),
// for hot paths that keep it and compare with stack_pointer_below().
uintptr_t stack_limit_address();
// Whether the caller's stack pointer lies below `limit`. Always inlined, so the stack is the
// caller's. Where the register can be read directly it is: taking the frame's address would
// make every function that checks keep a frame pointer.
__attribute__((always_inline)) inline bool stack_pointer_below(uintptr_t limit) {
  uintptr_t stack_pointer;
#if defined(__x86_64__)
  asm("mov %%rsp, %0" : "=r"(stack_pointer));
#elif defined(__aarch64__)
  asm("mov %0, sp" : "=r"(stack_pointer));
#else
  stack_pointer = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
#endif
  return stack_pointer < limit;
}

}  // namespace vormel
