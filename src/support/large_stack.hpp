// Runs work on a thread with a large stack, so that deep recursion in scripts and deeply
// nested source hit the interpreter's own limits long before the native stack runs out.
#pragma once

#include <functional>

namespace vormel {

inline constexpr size_t kLargeStackBytes = size_t{1} << 30;  // reserved lazily by the OS
// The smallest thread stack tried when the address space cannot hold a larger one.
inline constexpr size_t kSmallestThreadStackBytes = size_t{16} << 20;

// Runs `work` on a thread with the largest stack (of 1 GiB, 256, 64 or 16 MiB) that can be
// made; when no thread can be made, on the current thread, with the stack guard limited to
// the part of its stack that is sure to exist (see stack_guard.hpp).
int run_with_large_stack(const std::function<int()>& work);

}  // namespace vormel
