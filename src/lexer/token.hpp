// Tokens produced by the lexer and consumed by the parser.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vormel {

// Every token kind once, in order: X(kind, name in debug text and messages, keyword or "").
// The enum, the names, the lexer's keyword table and the tools' keyword list all come from
// this list.
#define VORMEL_TOKEN_KINDS(X)                                                         \
  X(Let, "Let", "let")                                                                \
  X(Def, "Def", "def")                                                                \
  X(Return, "Return", "return")                                                       \
  X(If, "If", "if")                                                                   \
  X(Else, "Else", "else")                                                             \
  X(While, "While", "while")                                                          \
  X(For, "For", "for")                                                                \
  X(In, "In", "in")                                                                   \
  X(Break, "Break", "break")                                                          \
  X(Continue, "Continue", "continue")                                                 \
  X(True, "True", "true")                                                             \
  X(False, "False", "false")                                                          \
  X(And, "And", "and")                                                                \
  X(Or, "Or", "or")                                                                   \
  X(Not, "Not", "not")                                                                \
  X(Match, "Match", "match")                                                          \
  X(Try, "Try", "try")                                                                \
  X(Catch, "Catch", "catch")                                                          \
  X(Global, "Global", "global")                                                       \
  X(Identifier, "Identifier", "")                                                     \
  X(Number, "Number", "")                                                             \
  X(Float, "Float", "")                                                               \
  X(String, "String", "")                                                             \
  X(Plus, "Plus", "")                                                                 \
  X(Minus, "Minus", "")                                                               \
  X(Star, "Star", "")                                                                 \
  X(Slash, "Slash", "")                                                               \
  X(Percent, "Percent", "")                                                           \
  X(Power, "Power", "")                                                               \
  X(Assign, "Assign", "")                                                             \
  X(PlusAssign, "PlusAssign", "")                                                     \
  X(MinusAssign, "MinusAssign", "")                                                   \
  X(StarAssign, "StarAssign", "")                                                     \
  X(SlashAssign, "SlashAssign", "")                                                   \
  X(Equal, "Equal", "")                                                               \
  X(NotEqual, "NotEqual", "")                                                         \
  X(Less, "Less", "")                                                                 \
  X(Greater, "Greater", "")                                                           \
  X(LessEqual, "LessEqual", "")                                                       \
  X(GreaterEqual, "GreaterEqual", "")                                                 \
  X(LParen, "LParen", "")                                                             \
  X(RParen, "RParen", "")                                                             \
  X(LBrace, "LBrace", "")                                                             \
  X(RBrace, "RBrace", "")                                                             \
  X(LBracket, "LBracket", "")                                                         \
  X(RBracket, "RBracket", "")                                                         \
  X(Comma, "Comma", "")                                                               \
  X(Colon, "Colon", "")                                                               \
  X(Semicolon, "Semicolon", "")                                                       \
  X(Arrow, "Arrow", "")                                                               \
  X(FatArrow, "FatArrow", "")                                                         \
  X(Dot, "Dot", "")                                                                   \
  X(Question, "Question", "")                                                         \
  X(Use, "Use", "use")                                                                \
  X(As, "As", "as")                                                                   \
  /* Eof prints as "EOF"; the macro EOF rules out that spelling for the enumerator */ \
  X(Eof, "EOF", "")

enum class TokenKind : uint8_t {
#define VORMEL_TOKEN_ENUMERATOR(kind, name, keyword) kind,
  VORMEL_TOKEN_KINDS(VORMEL_TOKEN_ENUMERATOR)
#undef VORMEL_TOKEN_ENUMERATOR
};

// A token kind's name as it appears in debug text and operator messages ("Plus", "EOF").
const char* token_kind_name(TokenKind kind);
// The keyword spelled `word`, if it is one.
std::optional<TokenKind> keyword_kind(std::string_view word);
// How keyword `kind` is spelled ("while"), or "" for a kind that is no keyword.
std::string_view keyword_spelling(TokenKind kind);
// Every keyword, in the order of the token list: the one list the editor tools offer.
std::span<const std::string_view> keywords();

struct Token {
  TokenKind kind = TokenKind::Eof;
  // Where the token begins, 1-based, as LineIndex counts (columns past 65535 are kept as
  // 65535); held in the room after the kind. Not part of a token's equality.
  uint16_t column = 0;
  uint32_t line = 0;
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
