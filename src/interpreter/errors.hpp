// The interpreter's script errors, one function per failure, over the message table. Each
// writes the ERROR line and returns the Error value carrying the same text. They are kept
// out of line (and marked cold) so that the hot evaluation paths stay small.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>

#include "interpreter/error_trace.hpp"
#include "interpreter/value.hpp"
#include "lexer/token.hpp"
#include "parser/ast.hpp"

namespace vormel {

#define VORMEL_COLD [[gnu::cold, gnu::noinline]]

// Logs `message` as an ERROR line and returns it as an Error value.
VORMEL_COLD Value raise(std::string message);
// raise() of a message template filled with `args`.
VORMEL_COLD Value raise(std::string_view message, std::initializer_list<std::string_view> args);
// Logs a message template filled with `args` as an ERROR line.
VORMEL_COLD void log_error(std::string_view message, std::initializer_list<std::string_view> args);

namespace errors {

// Variables and indexing.
VORMEL_COLD Value undefined_variable(std::string_view name);
VORMEL_COLD Value undefined_variable(const IdentifierExpr& variable);  // placed at the read
VORMEL_COLD Value array_index_kind(const Value& index);
VORMEL_COLD Value array_index_bounds(int64_t index, size_t length);
VORMEL_COLD Value dict_key_kind(const Value& key);
VORMEL_COLD Value dict_key_missing(std::string_view key);
VORMEL_COLD Value cannot_index(const Value& object, const Value& index);
VORMEL_COLD Value range_bounds();
VORMEL_COLD Value range_too_large(uint64_t length, uint64_t limit);

// Operators.
VORMEL_COLD Value division_by_zero();
VORMEL_COLD Value modulo_by_zero();
VORMEL_COLD Value unsupported_operation(std::string_view operands, TokenKind op);
VORMEL_COLD Value cannot_apply(const Value& left, TokenKind op, const Value& right);
VORMEL_COLD Value cannot_negate(const Value& operand);
VORMEL_COLD Value unsupported_unary(TokenKind op);

// Calls.
VORMEL_COLD Value function_missing(std::string_view name);
VORMEL_COLD Value argument_count(std::string_view name, size_t expected, size_t given);
VORMEL_COLD Value module_not_imported(std::string_view module);
// A native module's own missing-function message (from its table).
VORMEL_COLD Value native_function_missing(std::string_view message, std::string_view function);
VORMEL_COLD Value module_function_missing(std::string_view module, std::string_view function);
VORMEL_COLD Value recursion_too_deep();
VORMEL_COLD Value nesting_too_deep();

// An allocation the operation needed failed.
VORMEL_COLD Value out_of_memory();

// The value `operation()` gives, or the out-of-memory error when an allocation it needed
// failed: results too large to allocate fail like any other script error.
template <typename Operation>
Value unless_out_of_memory(Operation&& operation) {
  try {
    return operation();
  } catch (const std::bad_alloc&) {
    return out_of_memory();
  }
}

// The error `raise()` gives, placed at `at` (for the trace lines that may follow it).
template <typename Raise>
[[gnu::always_inline]] inline Value raised_at(const NodePlace& at, Raise raise) {
  ErrorPlace place(&at);
  return raise();
}
// The same for a place that may be null (then the place named outside stands).
template <typename Raise>
[[gnu::always_inline]] inline Value raised_at(const NodePlace* at, Raise raise) {
  ErrorPlace place(at);
  return raise();
}

// Statement context lines, placed at the statement: `message` has one '{}' for the cause, or
// a '{}' for the name and then one for the cause.
VORMEL_COLD void log_statement_failure(const NodePlace& at, std::string_view message,
                                       const Value& error);
VORMEL_COLD void log_named_statement_failure(const NodePlace& at, std::string_view message,
                                             std::string_view name, const Value& error);
VORMEL_COLD void log_not_iterable(const NodePlace& at, const Value& value);

}  // namespace errors
}  // namespace vormel
