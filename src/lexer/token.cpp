// Token construction, equality and debug text.
#include "lexer/token.hpp"

#include <algorithm>
#include <array>

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

namespace {

// Each kind's keyword spelling, "" for the kinds that are no keywords.
constexpr std::string_view kSpellings[] = {
#define VORMEL_TOKEN_SPELLING(kind, name, keyword) keyword,
    VORMEL_TOKEN_KINDS(VORMEL_TOKEN_SPELLING)
#undef VORMEL_TOKEN_SPELLING
};

constexpr size_t kKeywordCount =
    std::ranges::count_if(kSpellings, [](std::string_view s) { return !s.empty(); });

constexpr std::array<std::string_view, kKeywordCount> kKeywords = [] {
  std::array<std::string_view, kKeywordCount> list{};
  size_t count = 0;
  for (std::string_view spelling : kSpellings)
    if (!spelling.empty()) list[count++] = spelling;
  return list;
}();

}  // namespace

std::optional<TokenKind> keyword_kind(std::string_view word) {
  if (word.empty()) return std::nullopt;
  for (size_t kind = 0; kind < std::size(kSpellings); ++kind)
    if (kSpellings[kind] == word) return static_cast<TokenKind>(kind);
  return std::nullopt;
}

std::string_view keyword_spelling(TokenKind kind) { return kSpellings[static_cast<size_t>(kind)]; }

std::span<const std::string_view> keywords() { return kKeywords; }

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
