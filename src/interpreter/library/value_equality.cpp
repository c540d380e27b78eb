#include "interpreter/library/value_equality.hpp"

#include <new>

#include "interpreter/builtins/argument_reading.hpp"
#include "support/stack_guard.hpp"
#include "support/text_format.hpp"

namespace vormel::library {

bool values_equal(const Value& a, const Value& b) {
  const ValueKind ka = a.kind();
  const ValueKind kb = b.kind();
  if (ka == ValueKind::Number && kb == ValueKind::Number) return a.as_number() == b.as_number();
  double x, y;
  if (read_real(a, x) && read_real(b, y)) return floats_equal(x, y);
  if (ka != kb) return false;
  switch (ka) {
    case ValueKind::String: return a.as_string() == b.as_string();
    case ValueKind::Boolean: return a.as_boolean() == b.as_boolean();
    case ValueKind::Null: return true;
    case ValueKind::BuiltinFunction: return a.builtin_name() == b.builtin_name();
    case ValueKind::Function: return a.function_def() == b.function_def();
    case ValueKind::Array:
    case ValueKind::Dict:
      // Values nest as deep as a script builds them: past the native stack the call fails
      // (as "Out of memory") rather than crashing.
      if (stack_nearly_exhausted()) throw std::bad_alloc();
      break;
    default: return debug_text(a) == debug_text(b);  // shapes and colours: by their fields
  }
  if (ka == ValueKind::Array) {
    const ValueList& xs = a.as_array();
    const ValueList& ys = b.as_array();
    if (xs.size() != ys.size()) return false;
    for (size_t i = 0; i < xs.size(); ++i)
      if (!values_equal(xs[i], ys[i])) return false;
    return true;
  }
  const Dict& da = a.as_dict();
  const Dict& db = b.as_dict();
  if (da.size() != db.size()) return false;
  for (const Dict::Entry& entry : da) {
    const Value* other = db.find(entry.key());
    if (other == nullptr || !values_equal(entry.value(), *other)) return false;
  }
  return true;
}

}  // namespace vormel::library
