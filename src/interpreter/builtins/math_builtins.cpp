// abs, sqrt, pow, floor, ceil, round, min and max.
#include <cmath>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/builtins/builtin_handlers.hpp"
#include "interpreter/arithmetic.hpp"

namespace vormel {
namespace {

// floor, ceil and round end in a Number: saturated, NaN as 0.
Value integral_result(double rounded) {
  return Value::number(to_integer(Value::floating(rounded)));
}

template <typename Rounding>
Value rounded(std::span<Value> args, Rounding rounding) {
  double x = 0;
  if (args.empty() || !read_real(args[0], x)) return Value::null();
  return integral_result(rounding(x));
}

// The real readings of the numeric arguments, in order; every other kind is skipped.
// `replaces(best, next)` says when the next value takes over.
template <typename Replaces>
Value extreme(std::span<Value> args, Replaces replaces) {
  if (args.size() < 2) return Value::null();
  bool found = false;
  double best = 0;
  for (const Value& arg : args) {
    double next = 0;
    if (!read_real(arg, next)) continue;
    if (!found || replaces(best, next)) best = next;
    found = true;
  }
  return found ? Value::floating(best) : Value::null();
}

}  // namespace

Value builtin_abs(std::span<Value> args) {
  if (args.empty()) return Value::null();
  const Value& x = args[0];
  if (x.is(ValueKind::Number)) {
    // Wrapping negation: the most negative value maps to itself.
    const int64_t n = x.as_number();
    return Value::number(n < 0 ? wrap_neg(n) : n);
  }
  if (x.is(ValueKind::Float)) return Value::floating(std::fabs(x.as_float()));
  return Value::null();
}

Value builtin_sqrt(std::span<Value> args) {
  double x = 0;
  if (args.empty() || !read_real(args[0], x)) return Value::null();
  return Value::floating(std::sqrt(x));
}

Value builtin_pow(std::span<Value> args) {
  double x = 0, y = 0;
  if (args.size() < 2 || !read_real(args[0], x) || !read_real(args[1], y)) return Value::null();
  return Value::floating(std::pow(x, y));
}

Value builtin_floor(std::span<Value> args) {
  return rounded(args, [](double x) { return std::floor(x); });
}
Value builtin_ceil(std::span<Value> args) {
  return rounded(args, [](double x) { return std::ceil(x); });
}
// std::round rounds halves away from zero.
Value builtin_round(std::span<Value> args) {
  return rounded(args, [](double x) { return std::round(x); });
}

// Ties and NaN comparisons: min keeps the earlier value, max takes the later one.
Value builtin_min(std::span<Value> args) {
  return extreme(args, [](double best, double next) { return best > next; });
}
Value builtin_max(std::span<Value> args) {
  return extreme(args, [](double best, double next) { return !(best > next); });
}

}  // namespace vormel
