// One function written in C++, a built-in or a native module's: the entry that runs it also
// describes it, so the tools (hover, completion, the checker) read the same table that the
// interpreter dispatches from.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "interpreter/errors.hpp"
#include "interpreter/native_call_context.hpp"
#include "interpreter/value.hpp"

namespace vormel {

// Runs one native function; it receives at least the entry's minimum argument count.
// Arguments may be moved from.
using NativeHandler = Value (*)(std::span<Value> args, const NativeCallContext& context);

struct NativeFunction {
  std::string_view name;  // "len"; a module function's without the prefix: "draw_point"
  size_t min_args;        // fewer arguments never reach the handler
  // The Error message a call with fewer arguments answers. Empty for the built-ins, whose
  // call then quietly yields Null.
  std::string_view too_few;
  std::string_view signature;  // "draw_point(x, y)", without a module prefix
  std::string_view summary;    // one line
  NativeHandler handler;
};

// What a call with fewer than `function.min_args` arguments yields.
[[gnu::cold, gnu::noinline]] Value too_few_arguments(const NativeFunction& function);

// Runs `function` (after its argument-count check, one compare); a result too large to
// allocate fails with "Out of memory". Inline: built-ins such as len and push are called
// in loops.
inline Value call_native(const NativeFunction& function, std::span<Value> args,
                         const NativeCallContext& context) {
  if (args.size() < function.min_args) [[unlikely]]
    return too_few_arguments(function);
  return errors::unless_out_of_memory([&] { return function.handler(args, context); });
}

}  // namespace vormel
