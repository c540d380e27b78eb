// Binary and unary operators on computed values. Failures log an ERROR line and yield an
// Error value carrying the same message.
#pragma once

#include "interpreter/value.hpp"
#include "lexer/token.hpp"

namespace vormel {

Value binary_operation(const Value& left, TokenKind op, const Value& right);
Value unary_operation(TokenKind op, const Value& operand);

}  // namespace vormel
