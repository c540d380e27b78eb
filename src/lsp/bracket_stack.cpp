#include "lsp/bracket_stack.hpp"

namespace vormel {
namespace {

TokenKind opener_of(TokenKind closer) {
  switch (closer) {
    case TokenKind::RParen: return TokenKind::LParen;
    case TokenKind::RBracket: return TokenKind::LBracket;
    default: return TokenKind::LBrace;
  }
}

}  // namespace

size_t BracketStack::step(TokenKind kind, size_t index) {
  if (kind == TokenKind::LParen || kind == TokenKind::LBracket || kind == TokenKind::LBrace) {
    open_.push_back(Open{index, kind});
    return kNone;
  }
  if (kind != TokenKind::RParen && kind != TokenKind::RBracket && kind != TokenKind::RBrace)
    return kNone;
  TokenKind wanted = opener_of(kind);
  for (size_t depth = open_.size(); depth-- > 0;) {
    if (open_[depth].kind != wanted) continue;
    size_t opener = open_[depth].token;
    open_.resize(depth);
    return opener;
  }
  return kNone;
}

}  // namespace vormel
