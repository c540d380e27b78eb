// typeof, the is_* tests, len and the four shape constructors.
#include <array>
#include <cstdint>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/builtins/builtin_handlers.hpp"

namespace vormel {
namespace {

// Reads the first N arguments as integers; false when one is not a number.
template <size_t N>
bool read_integers(std::span<Value> args, std::array<int64_t, N>& out) {
  for (size_t i = 0; i < N; ++i)
    if (!read_integer(args[i], out[i])) return false;
  return true;
}

// The low 32 bits, as the narrower shape fields keep them.
int32_t low_signed(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }
uint32_t low_unsigned(int64_t v) { return static_cast<uint32_t>(v); }

}  // namespace

Value builtin_typeof(std::span<Value> args) {
  switch (args[0].kind()) {
    case ValueKind::Number: return Value::string("number");
    case ValueKind::Float: return Value::string("float");
    case ValueKind::String: return Value::string("string");
    case ValueKind::Boolean: return Value::string("boolean");
    case ValueKind::Array: return Value::string("array");
    case ValueKind::Dict: return Value::string("dict");
    case ValueKind::Null: return Value::string("null");
    default: return Value::string("unknown");
  }
}

Value builtin_is_number(std::span<Value> args) {
  return Value::boolean(!args.empty() &&
                        (args[0].is(ValueKind::Number) || args[0].is(ValueKind::Float)));
}
Value builtin_is_string(std::span<Value> args) {
  return Value::boolean(!args.empty() && args[0].is(ValueKind::String));
}
Value builtin_is_array(std::span<Value> args) {
  return Value::boolean(!args.empty() && args[0].is(ValueKind::Array));
}
Value builtin_is_dict(std::span<Value> args) {
  return Value::boolean(!args.empty() && args[0].is(ValueKind::Dict));
}

Value builtin_len(std::span<Value> args) {
  const Value& v = args[0];
  switch (v.kind()) {
    case ValueKind::String: return Value::number(static_cast<int64_t>(v.as_string().size()));
    case ValueKind::Array: return Value::number(static_cast<int64_t>(v.as_array().size()));
    case ValueKind::Dict: return Value::number(static_cast<int64_t>(v.as_dict().size()));
    default: return Value::null();
  }
}

Value builtin_rect(std::span<Value> args) {
  std::array<int64_t, 4> n;
  if (!read_integers(args, n)) return Value::null();
  return Value::rect({low_signed(n[0]), low_signed(n[1]), low_unsigned(n[2]), low_unsigned(n[3])});
}

Value builtin_circle(std::span<Value> args) {
  std::array<int64_t, 3> n;
  if (!read_integers(args, n)) return Value::null();
  return Value::circle({low_signed(n[0]), low_signed(n[1]), low_unsigned(n[2])});
}

Value builtin_triangle(std::span<Value> args) {
  std::array<int64_t, 6> n;
  if (!read_integers(args, n)) return Value::null();
  return Value::triangle({low_signed(n[0]), low_signed(n[1]), low_signed(n[2]), low_signed(n[3]),
                          low_signed(n[4]), low_signed(n[5])});
}

Value builtin_color(std::span<Value> args) {
  std::array<int64_t, 3> n;
  if (!read_integers(args, n)) return Value::null();
  return Value::color(
      {static_cast<uint8_t>(n[0]), static_cast<uint8_t>(n[1]), static_cast<uint8_t>(n[2])});
}

}  // namespace vormel
