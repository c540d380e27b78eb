// The preparation of nodes into the functions that run their shapes, shared between the
// files that prepare expressions, calls and statements.
#pragma once

#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "parser/ast.hpp"

namespace vormel {

// How an operator's operand is read: a variable in place, a number literal as it stands, an
// operator on two variables combined inline, or anything else by evaluating it.
enum class OperandShape : uint8_t { Variable, Integer, Float, Pair, Computed };

// A variable's value as a prepared read gives it: an undefined name is an Error.
[[gnu::always_inline]] inline Value read_variable(const Interpreter& in, const IdentifierExpr& id) {
  if (const Value* value = in.peek_variable(id.symbol)) return *value;
  return errors::undefined_variable(id);
}

}  // namespace vormel
