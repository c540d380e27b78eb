// An optional observer of the parser, for tools that show what the parser passed over. The
// parser builds the same tree with or without one; it only tells the listener what it did.
// Token positions are indexes into the token list that was parsed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "parser/ast.hpp"

namespace vormel {

// Each place where the parser passes over input it cannot use.
enum class ParseIssue : uint8_t {
  // A token passed over because it begins nothing where it stands.
  SkippedStatement,  // at a statement position
  SkippedListItem,   // in an argument or array list
  SkippedDictEntry,  // in a dictionary literal (not a name key)
  SkippedUseItem,    // in the braces of a use statement
  SkippedPattern,    // where a match pattern should begin
  StrayDot,          // a "." followed by neither a name nor a second "."
  // A token that cannot begin an expression where one is needed; the parser reads 0.
  ExpressionExpected,
  // A statement form that broke off at `token` and was dropped with what it had consumed.
  LetNameMissing,
  LetAssignMissing,
  DefNameMissing,
  DefParenMissing,
  DefParamsUnclosed,
  DefBodyMissing,
  IfBodyMissing,
  ElseBodyMissing,  // the else is consumed and has no body; the if is kept
  WhileBodyMissing,
  ForVarMissing,
  ForInMissing,
  ForBodyMissing,
  MatchBodyMissing,
  MatchArrowMissing,  // one arm dropped
  TryBodyMissing,
  CatchMissing,
  CatchVarMissing,
  CatchBodyMissing,
  GlobalNameMissing,
  UseNameMissing,
  DictColonMissing,  // one entry dropped; `related` is its key
  // A closing bracket missing at `token`; `related` is the opening one.
  BlockUnclosed,
  ParenUnclosed,
  BracketUnclosed,
  BraceUnclosed,
  // Nesting too deep for the native stack: the rest is passed over.
  NestingTooDeep,
};

class ParseListener {
 public:
  static constexpr size_t kNoToken = std::numeric_limits<size_t>::max();

  virtual ~ParseListener() = default;
  virtual void recovered(ParseIssue issue, size_t token, size_t related) = 0;
  // A statement that was kept, with the index of its first token.
  virtual void statement_parsed(const Stmt& stmt, size_t first_token) = 0;
  // An expression node, with the token that gives it its kind: the operator of a BinaryOp,
  // UnaryOp or Range (its first dot), the "(" of a Call, the "[" or "." of an Index, and
  // the first token of anything else.
  virtual void expression_parsed(const Expr& expr, size_t token) = 0;
};

}  // namespace vormel
