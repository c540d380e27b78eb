// Token construction, equality and debug text.
#include "lexer/token.hpp"

#include "support/text_format.hpp"

namespace vormel {

Token Token::identifier(std::string name) {
  Token t(TokenKind::Identifier);
  t.text = std::move(name);
  return t;
}
Token Token::string(std::string value) {
  Token t(TokenKind::String);
  t.text = std::move(value);
  return t;
}
Token Token::number(int64_t value) {
  Token t(TokenKind::Number);
  t.integer = value;
  return t;
}
Token Token::floating(double value) {
  Token t(TokenKind::Float);
  t.real = value;
  return t;
}

bool Token::operator==(const Token& other) const {
  if (kind != other.kind) return false;
  switch (kind) {
    case TokenKind::Identifier:
    case TokenKind::String: return text == other.text;
    case TokenKind::Number: return integer == other.integer;
    case TokenKind::Float: return real == other.real;
    default: return true;
  }
}

const char* token_kind_name(TokenKind kind) {
  static const char* const kNames[] = {
#define VORMEL_TOKEN_NAME(kind, name, keyword) name,
      VORMEL_TOKEN_KINDS(VORMEL_TOKEN_NAME)
#undef VORMEL_TOKEN_NAME
  };
  return kNames[static_cast<size_t>(kind)];
}

std::optional<TokenKind> keyword_kind(std::string_view word) {
  static const std::pair<std::string_view, TokenKind> kKeywords[] = {
#define VORMEL_TOKEN_KEYWORD(kind, name, keyword) {keyword, TokenKind::kind},
      VORMEL_TOKEN_KINDS(VORMEL_TOKEN_KEYWORD)
#undef VORMEL_TOKEN_KEYWORD
  };
  if (word.empty()) return std::nullopt;
  for (const auto& [spelling, kind] : kKeywords)
    if (spelling == word) return kind;
  return std::nullopt;
}

std::string debug_text(const Token& token) {
  std::string name = token_kind_name(token.kind);
  switch (token.kind) {
    case TokenKind::Identifier:
    case TokenKind::String: return name + "(" + quoted_debug_string(token.text) + ")";
    case TokenKind::Number: return name + "(" + std::to_string(token.integer) + ")";
    case TokenKind::Float: return name + "(" + debug_float_text(token.real) + ")";
    default: return name;
  }
}

}  // namespace vormel
