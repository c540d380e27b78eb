// The "math" library module: its function table. Every function is a function (an uncalled
// `math.pi` would read a variable), takes Numbers or Floats, and answers a Float.
#include <array>
#include <cmath>
#include <numbers>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

Value math_pi(std::span<Value>, const NativeCallContext&) {
  return Value::floating(std::numbers::pi);
}

Value math_sin(std::span<Value> args, const NativeCallContext&) {
  double x;
  if (!read_real(args[0], x)) return library::expected("math.sin", "a number", args[0]);
  return Value::floating(std::sin(x));
}

// In this order the module exports them. The signature is what the tools show and what the
// argument count is checked against.
constexpr std::array<NativeFunction, 2> kMathFunctions = {{
    {"pi", 0, "", "pi()", "The ratio of a circle's circumference to its diameter.", math_pi},
    {"sin", 1, "", "sin(x)", "The sine of x radians.", math_sin},
}};

constexpr NativeModule kMathModule = {"math", kMathFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& math_module() { return kMathModule; }

}  // namespace vormel
