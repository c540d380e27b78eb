// Tokens produced by the lexer and consumed by the parser.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vormel {

enum class TokenKind : uint8_t {
  Let, Def, Return, If, Else, While, For, In, Break, Continue,
  True, False, And, Or, Not, Match, Try, Catch, Global,
  Identifier, Number, Float, String,
  Plus, Minus, Star, Slash, Percent, Power,
  Assign, PlusAssign, MinusAssign, StarAssign, SlashAssign,
  Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
  LParen, RParen, LBrace, RBrace, LBracket, RBracket,
  Comma, Colon, Semicolon, Arrow, FatArrow, Dot, Question,
  Use, As, Eof,  // Eof prints as "EOF"; the macro EOF rules out that spelling
};

// A token kind's name as it appears in debug text and operator messages ("Plus", "EOF").
const char* token_kind_name(TokenKind kind);

struct Token {
  TokenKind kind = TokenKind::Eof;
  std::string text;     // Identifier, String
  int64_t integer = 0;  // Number
  double real = 0.0;    // Float

  Token() = default;
  explicit Token(TokenKind k) : kind(k) {}
  static Token identifier(std::string name);
  static Token string(std::string text);
  static Token number(int64_t value);
  static Token floating(double value);

  // Kinds equal and, for payload kinds, payloads equal.
  bool operator==(const Token& other) const;
};

using TokenList = std::vector<Token>;

// Identifier("x"), Number(5), Plus, ...
std::string debug_text(const Token& token);

}  // namespace vormel
