// Visiting every statement and expression of a tree, nested function bodies included.
// Nesting too deep for the native stack is not descended into.
#pragma once

#include <functional>

#include "parser/ast.hpp"

namespace vormel {

struct SyntaxVisitor {
  std::function<void(const Stmt&)> on_statement;
  std::function<void(const Expr&)> on_expression;
};

void walk(const StmtList& stmts, const SyntaxVisitor& visitor);
void walk(const Expr& expr, const SyntaxVisitor& visitor);

}  // namespace vormel
