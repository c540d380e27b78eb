// The 39 built-in functions callable by plain name.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "interpreter/native_function.hpp"
#include "interpreter/value.hpp"

namespace vormel {

// The built-in table, in its order (for tools that list, complete or describe them).
std::span<const NativeFunction> builtin_functions();
// The built-in's id, or -1 when no built-in has that name. Call sites cache the id.
int find_builtin(std::string_view name);
// Runs built-in `id` (from find_builtin). Arguments may be moved from.
Value call_builtin(int id, std::span<Value> args, const NativeCallContext& context);
// Both steps at once; nullopt is the answer not-a-built-in.
std::optional<Value> dispatch_builtin(std::string_view name, std::span<Value> args,
                                      const NativeCallContext& context);

}  // namespace vormel
