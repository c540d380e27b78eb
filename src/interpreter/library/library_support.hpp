// What the library modules share: their argument errors, and calling a script's function
// back (list.map, list.sort_by, ...). Every message names the function ("text.trim: ...").
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>

#include "interpreter/messages.hpp"
#include "interpreter/native_call_context.hpp"
#include "interpreter/value.hpp"

namespace vormel::library {

// An Error value with a message template from the one table, filled in order.
Value error(std::string_view message, std::initializer_list<std::string_view> args);
// "{function}: expected {what}, got {kind of got}", e.g. "text.trim: expected a string, got
// number".
Value expected(std::string_view function, std::string_view what, const Value& got);

// Calls `callee` (a script Function, or a library function imported by item) with `args`,
// as a script's call would. A Function with another parameter count answers "{function}:
// the function passed takes N arguments, not M"; a value of another kind "{function}:
// expected a function, got {kind}".
Value call_back(const NativeCallContext& context, std::string_view function, const Value& callee,
                std::span<Value> args);

}  // namespace vormel::library
