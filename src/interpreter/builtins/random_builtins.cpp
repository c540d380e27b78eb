// random and random_range, drawing from this thread's generator.
#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/builtins/builtin_handlers.hpp"
#include "interpreter/builtins/random_draws.hpp"
#include "interpreter/builtins/random_generator.hpp"

namespace vormel {

Value builtin_random(std::span<Value>) {
  return Value::floating(unit_interval_from_draw(thread_random_generator().next_u64()));
}

Value builtin_random_range(std::span<Value> args) {
  int64_t low = 0, high = 0;
  if (args.size() < 2 || !read_integer(args[0], low) || !read_integer(args[1], high)) {
    return Value::null();
  }
  int64_t span = range_span(low, high);
  // Equal bounds leave nothing to take a remainder by: answered like an unusable argument.
  if (span == 0) return Value::null();
  return Value::number(range_value_from_draw(low, span, thread_random_generator().next_u64()));
}

}  // namespace vormel
