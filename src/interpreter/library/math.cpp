// The "math" library module: its function table. Every export is a function (an uncalled
// `math.pi` would read a variable). Arguments are Numbers or Floats; any other kind is an
// Error. Results follow the float rules, as the built-in sqrt does: a point outside a
// function's domain gives NaN (log(-1), asin(2)), a pole an infinity (log(0)). trunc answers
// a Number, as floor does; sign and clamp keep the kind of what they are given; the rest
// answer Floats.
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

using RealFunction = double (*)(double);

// One real argument in, one Float out; another kind of argument is an Error.
Value real_to_float(std::string_view name, const Value& arg, RealFunction function) {
  double x;
  if (!read_real(arg, x)) return library::expected(name, "a number", arg);
  return Value::floating(function(x));
}

// Two real arguments in, one Float out.
Value reals_to_float(std::string_view name, std::span<Value> args,
                     double (*function)(double, double)) {
  double x, y;
  if (!read_real(args[0], x)) return library::expected(name, "a number", args[0]);
  if (!read_real(args[1], y)) return library::expected(name, "a number", args[1]);
  return Value::floating(function(x, y));
}

Value math_pi(std::span<Value>, const NativeCallContext&) {
  return Value::floating(std::numbers::pi);
}

Value math_e(std::span<Value>, const NativeCallContext&) {
  return Value::floating(std::numbers::e);
}

Value math_sin(std::span<Value> args, const NativeCallContext&) {
  return real_to_float("math.sin", args[0], [](double x) { return std::sin(x); });
}
Value math_cos(std::span<Value> args, const NativeCallContext&) {
  return real_to_float("math.cos", args[0], [](double x) { return std::cos(x); });
}
Value math_tan(std::span<Value> args, const NativeCallContext&) {
  return real_to_float("math.tan", args[0], [](double x) { return std::tan(x); });
}
Value math_asin(std::span<Value> args, const NativeCallContext&) {
  return real_to_float("math.asin", args[0], [](double x) { return std::asin(x); });
}
Value math_acos(std::span<Value> args, const NativeCallContext&) {
  return real_to_float("math.acos", args[0], [](double x) { return std::acos(x); });
}
Value math_atan(std::span<Value> args, const NativeCallContext&) {
  return real_to_float("math.atan", args[0], [](double x) { return std::atan(x); });
}
Value math_exp(std::span<Value> args, const NativeCallContext&) {
  return real_to_float("math.exp", args[0], [](double x) { return std::exp(x); });
}
Value math_log10(std::span<Value> args, const NativeCallContext&) {
  return real_to_float("math.log10", args[0], [](double x) { return std::log10(x); });
}

Value math_atan2(std::span<Value> args, const NativeCallContext&) {
  return reals_to_float("math.atan2", args, [](double y, double x) { return std::atan2(y, x); });
}
Value math_hypot(std::span<Value> args, const NativeCallContext&) {
  return reals_to_float("math.hypot", args, [](double x, double y) { return std::hypot(x, y); });
}

// Bases 2 and 10 use their own functions, so that log(8, 2) is exactly 3.
Value math_log(std::span<Value> args, const NativeCallContext&) {
  if (args.size() == 1)
    return real_to_float("math.log", args[0], [](double x) { return std::log(x); });
  return reals_to_float("math.log", args, [](double x, double base) {
    if (base == 2) return std::log2(x);
    if (base == 10) return std::log10(x);
    return std::log(x) / std::log(base);
  });
}

// A Number stays itself; a Float ends in a Number as floor's does: saturated, NaN as 0.
Value math_trunc(std::span<Value> args, const NativeCallContext&) {
  if (args[0].is(ValueKind::Number)) return args[0];
  if (!args[0].is(ValueKind::Float)) return library::expected("math.trunc", "a number", args[0]);
  return Value::number(to_integer(Value::floating(std::trunc(args[0].as_float()))));
}

// -1, 0 or 1 of the argument's kind; a Float's zeros and NaN answer themselves.
Value math_sign(std::span<Value> args, const NativeCallContext&) {
  if (args[0].is(ValueKind::Number)) {
    const int64_t n = args[0].as_number();
    return Value::number(n > 0 ? 1 : n < 0 ? -1 : 0);
  }
  if (!args[0].is(ValueKind::Float)) return library::expected("math.sign", "a number", args[0]);
  const double x = args[0].as_float();
  return Value::floating(x > 0 ? 1.0 : x < 0 ? -1.0 : x);
}

// Numbers clamp to a Number; with any Float among them the result is a Float. Bounds out of
// order (or NaN) are an Error rather than a silent pick of one of them.
Value math_clamp(std::span<Value> args, const NativeCallContext&) {
  double values[3];
  for (size_t i = 0; i < 3; ++i)
    if (!read_real(args[i], values[i])) return library::expected("math.clamp", "a number", args[i]);
  if (!(values[1] <= values[2]))
    return library::error(messages::kMathClampBounds,
                          {display_text(args[1]), display_text(args[2])});
  if (args[0].is(ValueKind::Number) && args[1].is(ValueKind::Number) &&
      args[2].is(ValueKind::Number)) {
    const int64_t x = args[0].as_number();
    const int64_t lo = args[1].as_number();
    const int64_t hi = args[2].as_number();
    return Value::number(x < lo ? lo : x > hi ? hi : x);
  }
  const double x = values[0];
  return Value::floating(x < values[1] ? values[1] : x > values[2] ? values[2] : x);
}

Value math_is_nan(std::span<Value> args, const NativeCallContext&) {
  double x;
  if (!read_real(args[0], x)) return library::expected("math.is_nan", "a number", args[0]);
  return Value::boolean(std::isnan(x));
}

Value math_is_inf(std::span<Value> args, const NativeCallContext&) {
  double x;
  if (!read_real(args[0], x)) return library::expected("math.is_inf", "a number", args[0]);
  return Value::boolean(std::isinf(x));
}

// In this order the module exports them. The signature is what the tools show and what the
// argument count is checked against.
constexpr std::array<NativeFunction, 18> kMathFunctions = {{
    {"pi", 0, "", "pi()", "The ratio of a circle's circumference to its diameter.", math_pi},
    {"e", 0, "", "e()", "Euler's number, the base of natural logarithms.", math_e},
    {"sin", 1, "", "sin(x)", "The sine of x radians.", math_sin},
    {"cos", 1, "", "cos(x)", "The cosine of x radians.", math_cos},
    {"tan", 1, "", "tan(x)", "The tangent of x radians.", math_tan},
    {"asin", 1, "", "asin(x)", "The angle in radians whose sine is x; NaN outside -1..1.",
     math_asin},
    {"acos", 1, "", "acos(x)", "The angle in radians whose cosine is x; NaN outside -1..1.",
     math_acos},
    {"atan", 1, "", "atan(x)", "The angle in radians whose tangent is x.", math_atan},
    {"atan2", 2, "", "atan2(y, x)", "The angle in radians of the point (x, y), from -pi to pi.",
     math_atan2},
    {"exp", 1, "", "exp(x)", "e raised to the power x.", math_exp},
    {"log", 1, "", "log(x[, base])", "The logarithm of x, natural or to the base given.", math_log},
    {"log10", 1, "", "log10(x)", "The logarithm of x to base 10.", math_log10},
    {"hypot", 2, "", "hypot(x, y)", "The length of the vector (x, y).", math_hypot},
    {"trunc", 1, "", "trunc(x)", "x without its fraction, as a Number.", math_trunc},
    {"sign", 1, "", "sign(x)", "-1, 0 or 1 by x's sign, of x's kind.", math_sign},
    {"clamp", 3, "", "clamp(x, lo, hi)", "x kept within lo..hi.", math_clamp},
    {"is_nan", 1, "", "is_nan(x)", "Whether x is the Float NaN.", math_is_nan},
    {"is_inf", 1, "", "is_inf(x)", "Whether x is an infinite Float.", math_is_inf},
}};

constexpr NativeModule kMathModule = {"math", kMathFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& math_module() { return kMathModule; }

}  // namespace vormel
