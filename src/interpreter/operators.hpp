// Binary and unary operators on computed values. Failures log an ERROR line and yield an
// Error value carrying the same message.
#pragma once

#include "interpreter/value.hpp"
#include "lexer/token.hpp"
#include "parser/ast.hpp"

namespace vormel {

// `at` (may be null) names where the operator is, for the errors it raises.
Value binary_operation(const Value& left, TokenKind op, const Value& right,
                       const NodePlace* at = nullptr);
// Two operands that are not both integers (the prepared forms' way out of their integer
// case): floats by the float rule, the rest by binary_operation(). Out of line, so that the
// integer paths that call it keep their few registers.
[[gnu::noinline]] Value float_or_general_operation(const Value& left, TokenKind op,
                                                   const Value& right, const NodePlace* at);
Value unary_operation(TokenKind op, const Value& operand, const NodePlace* at = nullptr);

}  // namespace vormel
