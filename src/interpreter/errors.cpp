// Message texts of the interpreter's script errors.
#include "interpreter/errors.hpp"

#include "interpreter/diagnostics.hpp"

namespace vormel {

Value raise(std::string message) {
  log_error(message);
  return Value::error(std::move(message));
}

namespace errors {
namespace {

std::string join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text.append(part);
  return text;
}

}  // namespace

Value undefined_variable(std::string_view name) {
  return raise(join({"Undefined variable '", name, "'"}));
}
Value array_index_kind(const Value& index) {
  return raise(join({"Array index must be a number, got ", type_name(index)}));
}
Value array_index_bounds(int64_t index, size_t length) {
  return raise(join({"Array index out of bounds: ", std::to_string(index),
                     " (length: ", std::to_string(length), ")"}));
}
Value dict_key_kind(const Value& key) {
  return raise(join({"Dictionary key must be a string, got ", type_name(key)}));
}
Value dict_key_missing(std::string_view key) {
  return raise(join({"Dictionary key '", key, "' not found"}));
}
Value cannot_index(const Value& object, const Value& index) {
  return raise(join({"Cannot index ", type_name(object), " with ", type_name(index)}));
}
Value range_bounds() { return raise("Range start and end must be numbers"); }
Value range_too_large(uint64_t length, uint64_t limit) {
  return raise(join({"Range too large: ", std::to_string(length), " elements (the limit is ",
                     std::to_string(limit), ")"}));
}

Value function_missing(std::string_view name) {
  return raise(join({"Function '", name, "' does not exist"}));
}
Value argument_count(std::string_view name, size_t expected, size_t given) {
  return raise(join({"Function '", name, "' expects ", std::to_string(expected),
                     " arguments but got ", std::to_string(given)}));
}
Value module_not_imported(std::string_view module) {
  return raise(
      join({"Module '", module, "' is not imported. Use 'use ", module, ";' to import it"}));
}
Value graphics_function_missing(std::string_view function) {
  return raise(join({"SDL2 module has no function '", function, "'"}));
}
Value http_function_missing(std::string_view function) {
  return raise(join({"HTTP module has no function '", function, "'"}));
}
Value module_function_missing(std::string_view module, std::string_view function) {
  return raise(join({"Module '", module, "' has no function '", function, "'"}));
}
Value recursion_too_deep() { return raise("Maximum recursion depth exceeded"); }
Value nesting_too_deep() { return raise("Maximum nesting depth exceeded"); }
Value out_of_memory() { return raise("Out of memory"); }

void log_statement_failure(std::string_view context, const Value& error) {
  log_error(join({context, error.error_message()}));
}
void log_named_statement_failure(std::string_view context, std::string_view name,
                                 const Value& error) {
  log_error(join({context, name, "': ", error.error_message()}));
}
void log_not_iterable(const Value& value) {
  log_error(join({"Cannot iterate over ", type_name(value), " in for loop. Expected an array."}));
}

}  // namespace errors
}  // namespace vormel
