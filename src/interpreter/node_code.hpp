// The code the interpreter keeps in each node: the function that runs the node's shape,
// chosen on the node's first run (form_table.cpp). The tree stores it as an untyped code
// address; these give it its type. A function pointer converted to another function pointer
// type and back is the same pointer, so the conversions cost nothing.
#pragma once

#include <cstdint>

#include "interpreter/flow.hpp"
#include "parser/ast.hpp"

namespace vormel {

class Interpreter;
class Value;

using EvaluateFn = Value (*)(Interpreter&, const Expr&);
using ExecuteFn = Flow (*)(Interpreter&, const Stmt&);
// A condition tested without building a Boolean: 0 false, 1 true, or kConditionFailed
// when its value is an Error, which the interpreter keeps for the statement to report.
using TestFn = uint8_t (*)(Interpreter&, const Expr&);
inline constexpr uint8_t kConditionFailed = 2;

// What every node starts with: pick the node's form, store it, run it.
Value prepare_and_evaluate(Interpreter& interpreter, const Expr& expr);
Flow prepare_and_execute(Interpreter& interpreter, const Stmt& stmt);

template <typename Fn>
[[gnu::always_inline]] inline Fn code_as(NodeCode code) {
  return reinterpret_cast<Fn>(code);
}
template <typename Fn>
[[gnu::always_inline]] inline NodeCode code_of(Fn fn) {
  return reinterpret_cast<NodeCode>(fn);
}

}  // namespace vormel
