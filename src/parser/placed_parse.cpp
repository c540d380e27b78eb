#include "parser/placed_parse.hpp"

#include <algorithm>
#include <cstdint>

#include "lexer/lexer.hpp"
#include "parser/parse_listener.hpp"
#include "parser/parser.hpp"
#include "parser/source_names.hpp"

namespace vormel {
namespace {

// Stamps every node with its first token's place. The parser reports a node once it is
// built, after its operands, so an operator's place is its left operand's.
class PlaceStamper final : public ParseListener {
 public:
  PlaceStamper(const TokenList& tokens, uint8_t source, uint32_t first_line)
      : tokens_(tokens), source_(source), line_offset_(first_line - 1) {}

  void recovered(ParseIssue, size_t, size_t) override {}
  void statement_parsed(const Stmt& stmt, size_t first_token) override {
    stmt.place = place_of(first_token);
  }
  void expression_parsed(const Expr& expr, size_t token) override {
    switch (expr.kind) {
      case ExprKind::BinaryOp:
        expr.place = static_cast<const BinaryOpExpr&>(expr).left->place;
        break;
      case ExprKind::Range: expr.place = static_cast<const RangeExpr&>(expr).start->place; break;
      case ExprKind::Index: expr.place = static_cast<const IndexExpr&>(expr).object->place; break;
      case ExprKind::Call:  // the parser gave it its callee's place
        if (expr.place.line == 0) expr.place = place_of(token);
        break;
      default: expr.place = place_of(token);
    }
  }

 private:
  NodePlace place_of(size_t token) const {
    if (token >= tokens_.size()) return NodePlace{source_, 0, 0};
    const Token& at = tokens_[token];
    return NodePlace{source_, at.column, at.line + line_offset_};
  }

  const TokenList& tokens_;
  uint8_t source_;
  uint32_t line_offset_;
};

}  // namespace

StmtList parse_placed(const TokenList& tokens, std::string_view source_name, uint32_t first_line) {
  PlaceStamper stamper(tokens, source_number(source_name), first_line);
  return parse_program(tokens, &stamper);
}

StmtList parse_placed(std::string_view source, std::string_view source_name, uint32_t first_line) {
  return parse_placed(tokenize(source), source_name, first_line);
}

}  // namespace vormel
