#include "interpreter/library/list_ordering.hpp"

#include <cmath>
#include <cstdint>

#include "interpreter/library/library_support.hpp"

namespace vormel::library {
namespace {

bool is_numeric(const Value& v) { return v.is(ValueKind::Number) || v.is(ValueKind::Float); }

// -1, 0 or 1 for an integer against a real that is not NaN, exact even past 2^53.
int compare_integer_real(int64_t i, double d) {
  if (d >= 0x1p63) return -1;
  if (d < -0x1p63) return 1;
  double whole = std::trunc(d);
  auto w = static_cast<int64_t>(whole);
  if (i != w) return i < w ? -1 : 1;
  double fraction = d - whole;
  return fraction > 0 ? -1 : fraction < 0 ? 1 : 0;
}

bool is_nan(const Value& v) { return v.is(ValueKind::Float) && std::isnan(v.as_float()); }

int compare_numbers(const Value& a, const Value& b) {
  if (a.is(ValueKind::Number) && b.is(ValueKind::Number))
    return a.as_number() < b.as_number() ? -1 : a.as_number() > b.as_number() ? 1 : 0;
  bool a_nan = is_nan(a), b_nan = is_nan(b);
  if (a_nan || b_nan) return static_cast<int>(a_nan) - static_cast<int>(b_nan);
  if (a.is(ValueKind::Float) && b.is(ValueKind::Float))
    return a.as_float() < b.as_float() ? -1 : a.as_float() > b.as_float() ? 1 : 0;
  if (a.is(ValueKind::Number)) return compare_integer_real(a.as_number(), b.as_float());
  return -compare_integer_real(b.as_number(), a.as_float());
}

}  // namespace

Value check_orderable(std::string_view function, const ValueList& keys) {
  const Value* first = nullptr;
  for (const Value& key : keys) {
    if (!is_numeric(key) && !key.is(ValueKind::String))
      return error(messages::kListCannotSort, {function, type_name(key)});
    if (first == nullptr) {
      first = &key;
    } else if (is_numeric(*first) != is_numeric(key)) {
      return error(messages::kListMixedKinds, {function, type_name(*first), type_name(key)});
    }
  }
  return Value::null();
}

bool orders_before(const Value& a, const Value& b) {
  // UTF-8 byte order is code point order.
  if (a.is(ValueKind::String)) return a.as_string() < b.as_string();
  return compare_numbers(a, b) < 0;
}

}  // namespace vormel::library
