#include "interpreter/errors.hpp"

#include "interpreter/diagnostics.hpp"
#include "interpreter/messages.hpp"

namespace vormel {

Value raise(std::string message) {
  log_error(message);
  return Value::error(std::move(message));
}

Value raise(std::string_view message, std::initializer_list<std::string_view> args) {
  return raise(format_message(message, args));
}

void log_error(std::string_view message, std::initializer_list<std::string_view> args) {
  log_error(format_message(message, args));
}

namespace errors {

Value undefined_variable(std::string_view name) {
  return raise(messages::kUndefinedVariable, {name});
}
Value undefined_variable(const IdentifierExpr& variable) {
  ErrorPlace place(&variable.place);
  return undefined_variable(variable.name);
}
Value array_index_kind(const Value& index) {
  return raise(messages::kArrayIndexKind, {type_name(index)});
}
Value array_index_bounds(int64_t index, size_t length) {
  return raise(messages::kArrayIndexBounds, {std::to_string(index), std::to_string(length)});
}
Value dict_key_kind(const Value& key) { return raise(messages::kDictKeyKind, {type_name(key)}); }
Value dict_key_missing(std::string_view key) { return raise(messages::kDictKeyMissing, {key}); }
Value cannot_index(const Value& object, const Value& index) {
  return raise(messages::kCannotIndex, {type_name(object), type_name(index)});
}
Value range_bounds() { return raise(messages::kRangeBounds, {}); }
Value range_too_large(uint64_t length, uint64_t limit) {
  return raise(messages::kRangeTooLarge, {std::to_string(length), std::to_string(limit)});
}

Value division_by_zero() { return raise(messages::kDivisionByZero, {}); }
Value modulo_by_zero() { return raise(messages::kModuloByZero, {}); }
Value unsupported_operation(std::string_view operands, TokenKind op) {
  return raise(messages::kUnsupportedOperation, {operands, token_kind_name(op)});
}
Value cannot_apply(const Value& left, TokenKind op, const Value& right) {
  return raise(messages::kCannotApply, {token_kind_name(op), type_name(left), type_name(right)});
}
Value cannot_negate(const Value& operand) {
  return raise(messages::kCannotNegate, {type_name(operand)});
}
Value unsupported_unary(TokenKind op) {
  return raise(messages::kUnsupportedUnary, {token_kind_name(op)});
}

Value function_missing(std::string_view name) { return raise(messages::kFunctionMissing, {name}); }
Value argument_count(std::string_view name, size_t expected, size_t given) {
  return raise(messages::kArgumentCount, {name, std::to_string(expected), std::to_string(given)});
}
Value module_not_imported(std::string_view module) {
  return raise(messages::kModuleNotImported, {module, module});
}
Value native_function_missing(std::string_view message, std::string_view function) {
  return raise(message, {function});
}
Value module_function_missing(std::string_view module, std::string_view function) {
  return raise(messages::kModuleFunctionMissing, {module, function});
}
Value recursion_too_deep() { return raise(messages::kRecursionTooDeep, {}); }
Value nesting_too_deep() { return raise(messages::kNestingTooDeep, {}); }
Value out_of_memory() { return raise(messages::kOutOfMemory, {}); }

void log_statement_failure(const NodePlace& at, std::string_view message, const Value& error) {
  ErrorPlace place(&at);
  log_error(message, {error.error_message()});
}
void log_named_statement_failure(const NodePlace& at, std::string_view message,
                                 std::string_view name, const Value& error) {
  ErrorPlace place(&at);
  log_error(message, {name, error.error_message()});
}
void log_not_iterable(const NodePlace& at, const Value& value) {
  ErrorPlace place(&at);
  log_error(messages::kNotIterable, {type_name(value)});
}

}  // namespace errors
}  // namespace vormel
