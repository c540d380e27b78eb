// The "dict" library module: dicts in, new dicts or arrays out, in insertion order. Keys are
// Strings, as in the language's own dicts.
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

// Null when args[0] is a dict (and args[1] a String key, if `with_key`); else the Error.
Value check_dict(std::string_view function, std::span<Value> args, bool with_key = false) {
  if (!args[0].is(ValueKind::Dict)) return library::expected(function, "a dict", args[0]);
  if (with_key && !args[1].is(ValueKind::String))
    return library::error(messages::kDictKeyNotString, {function, type_name(args[1])});
  return Value::null();
}

Value dict_keys(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_dict("dict.keys", args); e.is_error()) return e;
  ValueList keys;
  keys.reserve(args[0].as_dict().size());
  for (const Dict::Entry& entry : args[0].as_dict())
    keys.push_back(Value::string(std::string(entry.key())));
  return Value::array(std::move(keys));
}

Value dict_values(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_dict("dict.values", args); e.is_error()) return e;
  ValueList values;
  values.reserve(args[0].as_dict().size());
  for (const Dict::Entry& entry : args[0].as_dict()) values.push_back(entry.value());
  return Value::array(std::move(values));
}

Value dict_items(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_dict("dict.items", args); e.is_error()) return e;
  ValueList items;
  items.reserve(args[0].as_dict().size());
  for (const Dict::Entry& entry : args[0].as_dict())
    items.push_back(Value::array({Value::string(std::string(entry.key())), entry.value()}));
  return Value::array(std::move(items));
}

Value dict_has(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_dict("dict.has", args, true); e.is_error()) return e;
  return Value::boolean(args[0].as_dict().find(args[1].as_string()) != nullptr);
}

Value dict_get(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_dict("dict.get", args, true); e.is_error()) return e;
  const Value* found = args[0].as_dict().find(args[1].as_string());
  return found != nullptr ? *found : args[2];
}

Value dict_set(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_dict("dict.set", args, true); e.is_error()) return e;
  Dict entries = args[0].as_dict();
  entries.insert_or_assign(args[1].as_string(), args[2]);
  return Value::dict(std::move(entries));
}

// A missing key is no error: the result is an equal dict.
Value dict_remove(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_dict("dict.remove", args, true); e.is_error()) return e;
  const Dict& old_entries = args[0].as_dict();
  const std::string& removed = args[1].as_string();
  if (old_entries.find(removed) == nullptr) return args[0];
  // Dict has no erase: the others are copied, in their order.
  Dict entries;
  entries.reserve(old_entries.size() - 1);
  for (const Dict::Entry& entry : old_entries)
    if (entry.key() != removed) entries.insert_or_assign(entry.key(), entry.value());
  return Value::dict(std::move(entries));
}

Value dict_merge(std::span<Value> args, const NativeCallContext&) {
  if (Value e = check_dict("dict.merge", args); e.is_error()) return e;
  if (!args[1].is(ValueKind::Dict)) return library::expected("dict.merge", "a dict", args[1]);
  Dict entries = args[0].as_dict();
  for (const Dict::Entry& entry : args[1].as_dict())
    entries.insert_or_assign(entry.key(), entry.value());
  return Value::dict(std::move(entries));
}

// In this order the module exports them. The signature is what the tools show and what the
// argument count is checked against.
constexpr std::array<NativeFunction, 8> kDictFunctions = {{
    {"keys", 1, "", "keys(d)", "The keys of d, in insertion order.", dict_keys},
    {"values", 1, "", "values(d)", "The values of d, in insertion order.", dict_values},
    {"items", 1, "", "items(d)", "The [key, value] pairs of d, in insertion order.", dict_items},
    {"has", 2, "", "has(d, k)", "Whether d has the key k.", dict_has},
    {"get", 3, "", "get(d, k, default)", "The value under k, or default when there is none.",
     dict_get},
    {"set", 3, "", "set(d, k, v)", "d with v under k.", dict_set},
    {"remove", 2, "", "remove(d, k)", "d without the key k.", dict_remove},
    {"merge", 2, "", "merge(a, b)", "a's entries, then b's; b's values win.", dict_merge},
}};

constexpr NativeModule kDictModule = {"dict", kDictFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& dict_module() { return kDictModule; }

}  // namespace vormel
