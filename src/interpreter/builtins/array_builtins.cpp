// push, pop and reverse. Each yields a new array and leaves its argument's source alone;
// the payload is copied only when someone else still holds it, so `xs = push(xs, v)` on an
// array that only the call holds appends in place.
#include <algorithm>
#include <utility>

#include "interpreter/builtins/builtin_handlers.hpp"

namespace vormel {

Value builtin_push(std::span<Value> args) {
  if (args.size() < 2 || !args[0].is(ValueKind::Array)) return Value::null();
  Value result = std::move(args[0]);
  result.mutable_array().push_back(std::move(args[1]));
  return result;
}

// Only the last element is read: no copy of the array is needed.
Value builtin_pop(std::span<Value> args) {
  if (args.empty() || !args[0].is(ValueKind::Array)) return Value::null();
  const ValueList& items = args[0].as_array();
  if (items.empty()) return Value::null();
  return items.back();
}

Value builtin_reverse(std::span<Value> args) {
  if (args.empty() || !args[0].is(ValueKind::Array)) return Value::null();
  Value result = std::move(args[0]);
  if (!result.is_unique()) {
    // Shared: build the reversed copy in one pass instead of copying, then swapping.
    const ValueList& items = result.as_array();
    return Value::array(ValueList(items.rbegin(), items.rend()));
  }
  ValueList& items = result.mutable_array();
  std::reverse(items.begin(), items.end());
  return result;
}

}  // namespace vormel
