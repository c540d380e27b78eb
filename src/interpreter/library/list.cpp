// The "list" library module: arrays in, new arrays out. Indexes are Numbers from 0; a
// negative or too large one is an Error. Functions passed in are called back as a script's
// call would call them, and an Error one returns is the whole call's result.
#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "interpreter/arithmetic.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/list_ordering.hpp"
#include "interpreter/library/text_arguments.hpp"
#include "interpreter/library/value_equality.hpp"

namespace vormel {
namespace {

using library::expected_whole_number;

bool is_function(const Value& v) {
  return v.is(ValueKind::Function) || v.is(ValueKind::BuiltinFunction);
}

// Null when args[0] is an array (and args[function_at] a function, if given); else the Error.
Value check_list(std::string_view function, std::span<Value> args, size_t function_at = 0) {
  if (!args[0].is(ValueKind::Array)) return library::expected(function, "an array", args[0]);
  if (function_at != 0 && !is_function(args[function_at]))
    return library::expected(function, "a function", args[function_at]);
  return Value::null();
}

// Null when `value` is an index below `limit`; else the Error `function` answers.
Value check_index(std::string_view function, const Value& value, size_t limit, size_t length) {
  if (!value.is(ValueKind::Number)) return expected_whole_number(function, value);
  int64_t index = value.as_number();
  if (index < 0 || static_cast<uint64_t>(index) >= limit)
    return library::error(messages::kListIndexOutOfRange,
                          {function, std::to_string(index), std::to_string(length)});
  return Value::null();
}

// Calls `callee` with the given arguments, copies: the handler keeps its own.
template <size_t N>
Value call_with(const NativeCallContext& context, std::string_view function, const Value& callee,
                std::array<Value, N> values) {
  return library::call_back(context, function, callee, values);
}

Value list_sort(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.sort", args); e.is_error()) return e;
  ValueList items = args[0].as_array();
  if (Value e = library::check_orderable("list.sort", items); e.is_error()) return e;
  std::stable_sort(items.begin(), items.end(), library::orders_before);
  return Value::array(std::move(items));
}

Value list_sort_by(std::span<Value> args, const NativeCallContext& context) {
  if (Value e = check_list("list.sort_by", args, 1); e.is_error()) return e;
  const ValueList& items = args[0].as_array();
  ValueList keys;
  keys.reserve(items.size());
  for (const Value& item : items) {
    Value key = call_with<1>(context, "list.sort_by", args[1], {item});
    if (key.is_error()) return key;
    keys.push_back(std::move(key));
  }
  if (Value e = library::check_orderable("list.sort_by", keys); e.is_error()) return e;
  std::vector<size_t> order(items.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return library::orders_before(keys[a], keys[b]); });
  ValueList sorted;
  sorted.reserve(items.size());
  for (size_t i : order) sorted.push_back(items[i]);
  return Value::array(std::move(sorted));
}

Value list_map(std::span<Value> args, const NativeCallContext& context) {
  if (Value e = check_list("list.map", args, 1); e.is_error()) return e;
  ValueList mapped;
  mapped.reserve(args[0].as_array().size());
  for (const Value& item : args[0].as_array()) {
    Value result = call_with<1>(context, "list.map", args[1], {item});
    if (result.is_error()) return result;
    mapped.push_back(std::move(result));
  }
  return Value::array(std::move(mapped));
}

Value list_filter(std::span<Value> args, const NativeCallContext& context) {
  if (Value e = check_list("list.filter", args, 1); e.is_error()) return e;
  ValueList kept;
  for (const Value& item : args[0].as_array()) {
    Value verdict = call_with<1>(context, "list.filter", args[1], {item});
    if (verdict.is_error()) return verdict;
    if (is_truthy(verdict)) kept.push_back(item);
  }
  return Value::array(std::move(kept));
}

Value list_reduce(std::span<Value> args, const NativeCallContext& context) {
  if (Value e = check_list("list.reduce", args, 1); e.is_error()) return e;
  Value total = args[2];
  for (const Value& item : args[0].as_array()) {
    total = call_with<2>(context, "list.reduce", args[1], {total, item});
    if (total.is_error()) return total;
  }
  return total;
}

// Adds as + does: Numbers wrap around, and a Float makes the rest of the sum a Float.
Value list_sum(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.sum", args); e.is_error()) return e;
  int64_t whole = 0;
  double real = 0;
  bool is_real = false;
  const ValueList& items = args[0].as_array();
  for (size_t i = 0; i < items.size(); ++i) {
    const Value& item = items[i];
    if (item.is(ValueKind::Number) && !is_real) {
      whole = wrap_add(whole, item.as_number());
    } else if (item.is(ValueKind::Number)) {
      real += static_cast<double>(item.as_number());
    } else if (item.is(ValueKind::Float)) {
      if (!is_real) real = static_cast<double>(whole);
      is_real = true;
      real += item.as_float();
    } else {
      return library::error(messages::kListSumKind, {type_name(item), std::to_string(i)});
    }
  }
  return is_real ? Value::floating(real) : Value::number(whole);
}

Value list_index_of(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.index_of", args); e.is_error()) return e;
  const ValueList& items = args[0].as_array();
  for (size_t i = 0; i < items.size(); ++i)
    if (library::values_equal(items[i], args[1])) return Value::number(static_cast<int64_t>(i));
  return Value::number(-1);
}

Value list_set(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.set", args); e.is_error()) return e;
  size_t length = args[0].as_array().size();
  if (Value e = check_index("list.set", args[1], length, length); e.is_error()) return e;
  ValueList items = args[0].as_array();
  items[static_cast<size_t>(args[1].as_number())] = args[2];
  return Value::array(std::move(items));
}

Value list_insert(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.insert", args); e.is_error()) return e;
  size_t length = args[0].as_array().size();
  if (Value e = check_index("list.insert", args[1], length + 1, length); e.is_error()) return e;
  ValueList items;
  items.reserve(length + 1);
  const ValueList& old_items = args[0].as_array();
  auto at = old_items.begin() + args[1].as_number();
  items.insert(items.end(), old_items.begin(), at);
  items.push_back(args[2]);
  items.insert(items.end(), at, old_items.end());
  return Value::array(std::move(items));
}

Value list_remove(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.remove", args); e.is_error()) return e;
  size_t length = args[0].as_array().size();
  if (Value e = check_index("list.remove", args[1], length, length); e.is_error()) return e;
  ValueList items = args[0].as_array();
  items.erase(items.begin() + args[1].as_number());
  return Value::array(std::move(items));
}

Value list_slice(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.slice", args); e.is_error()) return e;
  if (!args[1].is(ValueKind::Number)) return expected_whole_number("list.slice", args[1]);
  if (!args[2].is(ValueKind::Number)) return expected_whole_number("list.slice", args[2]);
  const ValueList& items = args[0].as_array();
  int64_t start = args[1].as_number();
  int64_t end = args[2].as_number();
  if (start < 0 || start > end || static_cast<uint64_t>(end) > items.size())
    return library::error(
        messages::kListSliceOutOfRange,
        {std::to_string(start), std::to_string(end), std::to_string(items.size())});
  return Value::array(ValueList(items.begin() + start, items.begin() + end));
}

// Keeps each element that equals none kept before it. Strings and Numbers are looked up by
// hash and Floats in order (equality tolerates 2^-52), so a long list is not quadratic;
// arrays, dicts and the rest are compared with each kept one.
class KeptValues {
 public:
  bool add(const Value& v) {
    switch (v.kind()) {
      case ValueKind::String: return strings_.insert(v.as_string()).second;
      case ValueKind::Number: {
        auto n = v.as_number();
        if (near(reals_, static_cast<double>(n))) return false;
        if (!integers_.insert(n).second) return false;
        integers_as_reals_.insert(static_cast<double>(n));
        return true;
      }
      case ValueKind::Float: {
        double x = v.as_float();
        if (x != x) return true;  // NaN equals nothing
        if (near(reals_, x) || near(integers_as_reals_, x)) return false;
        reals_.insert(x);
        return true;
      }
      default:
        for (const Value& kept : others_)
          if (library::values_equal(kept, v)) return false;
        others_.push_back(v);
        return true;
    }
  }

 private:
  static bool near(const std::multiset<double>& kept, double x) {
    constexpr double kTolerance = 0x1p-52;
    for (auto it = kept.lower_bound(x - kTolerance); it != kept.end() && *it <= x + kTolerance;
         ++it)
      if (floats_equal(*it, x)) return true;
    return false;
  }
  std::unordered_set<std::string_view> strings_;
  std::unordered_set<int64_t> integers_;
  std::multiset<double> integers_as_reals_;
  std::multiset<double> reals_;
  ValueList others_;
};

Value list_unique(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.unique", args); e.is_error()) return e;
  KeptValues kept;
  ValueList unique;
  for (const Value& item : args[0].as_array())
    if (kept.add(item)) unique.push_back(item);
  return Value::array(std::move(unique));
}

Value list_zip(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_list("list.zip", args); e.is_error()) return e;
  if (!args[1].is(ValueKind::Array)) return library::expected("list.zip", "an array", args[1]);
  const ValueList& a = args[0].as_array();
  const ValueList& b = args[1].as_array();
  ValueList pairs;
  pairs.reserve(std::min(a.size(), b.size()));
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) pairs.push_back(Value::array({a[i], b[i]}));
  return Value::array(std::move(pairs));
}

Value list_range(std::span<Value> args, const NativeCallContext&) {
  for (const Value& arg : args)
    if (!arg.is(ValueKind::Number)) return expected_whole_number("list.range", arg);
  int64_t from = args[0].as_number();
  int64_t to = args[1].as_number();
  int64_t step = args.size() > 2 ? args[2].as_number() : 1;
  if (step == 0) return library::error(messages::kListStepZero, {});
  // Counted in 128 bits: the span of two 64-bit ends does not fit in 64.
  __int128 span = static_cast<__int128>(to) - from;
  __int128 count = 0;
  if ((step > 0 && span > 0) || (step < 0 && span < 0)) {
    __int128 stride = step > 0 ? step : -static_cast<__int128>(step);
    __int128 distance = span > 0 ? span : -span;
    count = (distance + stride - 1) / stride;
  }
  if (count > static_cast<__int128>(library::kMaxListElements)) {
    auto shown = static_cast<unsigned __int128>(count);
    std::string digits;
    do digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(shown % 10)));
    while ((shown /= 10) != 0);
    return library::error(messages::kListRangeTooLarge,
                          {digits, std::to_string(library::kMaxListElements)});
  }
  ValueList numbers;
  numbers.reserve(static_cast<size_t>(count));
  for (__int128 i = 0; i < count; ++i)
    numbers.push_back(Value::number(static_cast<int64_t>(from + i * step)));
  return Value::array(std::move(numbers));
}

// In this order the module exports them. The signature is what the tools show and what the
// argument count is checked against.
constexpr std::array<NativeFunction, 14> kListFunctions = {{
    {"sort", 1, "", "sort(xs)", "xs in order: numbers by value, strings by code point.", list_sort},
    {"sort_by", 2, "", "sort_by(xs, key_fn)", "xs in the order of key_fn's answers.", list_sort_by},
    {"map", 2, "", "map(xs, fn)", "fn's answer for each element.", list_map},
    {"filter", 2, "", "filter(xs, fn)", "The elements fn answers truthy for.", list_filter},
    {"reduce", 3, "", "reduce(xs, fn, initial)", "fn(total, x) for each x, from initial.",
     list_reduce},
    {"sum", 1, "", "sum(xs)", "The sum of the numbers in xs.", list_sum},
    {"index_of", 2, "", "index_of(xs, v)", "The index of the first element equal to v, or -1.",
     list_index_of},
    {"set", 3, "", "set(xs, i, v)", "xs with element i replaced by v.", list_set},
    {"insert", 3, "", "insert(xs, i, v)", "xs with v inserted before index i.", list_insert},
    {"remove", 2, "", "remove(xs, i)", "xs without element i.", list_remove},
    {"slice", 3, "", "slice(xs, start, end)", "The elements from start up to before end.",
     list_slice},
    {"unique", 1, "", "unique(xs)", "xs without the elements equal to an earlier one.",
     list_unique},
    {"zip", 2, "", "zip(a, b)", "Pairs [a[i], b[i]], as many as the shorter has.", list_zip},
    {"range", 2, "", "range(a, b[, step])", "The Numbers from a up to before b by step.",
     list_range},
}};

constexpr NativeModule kListModule = {"list", kListFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& list_module() { return kListModule; }

}  // namespace vormel
