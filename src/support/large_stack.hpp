// Runs work on a thread with a large stack, so that deep recursion in scripts and deeply
// nested source hit the interpreter's own limits long before the native stack runs out.
#pragma once

#include <functional>

namespace vormel {

inline constexpr size_t kLargeStackBytes = size_t{1} << 30;  // reserved lazily by the OS

int run_with_large_stack(const std::function<int()>& work);

}  // namespace vormel
