// The preparation of nodes into the functions that run their shapes, shared between the
// files that prepare expressions, calls and statements.
#pragma once

#include "parser/ast.hpp"

namespace vormel {

// How an operator's operand is read: a variable in place, a number literal as it stands, an
// operator on two variables combined inline, or anything else by evaluating it.
enum class OperandShape : uint8_t { Variable, Integer, Float, Pair, Computed };

// A call's function: by argument count for plain calls, by route for the rest
// (prepared_calls.cpp).
EvaluateFn prepare_call(const CallExpr& call);

// The test of an `if` or `while` condition (prepared_expressions.cpp).
TestFn prepare_test(const Expr& condition);

}  // namespace vormel
