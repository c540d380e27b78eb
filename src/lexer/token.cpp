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
      "Let", "Def", "Return", "If", "Else", "While", "For", "In", "Break", "Continue",
      "True", "False", "And", "Or", "Not", "Match", "Try", "Catch", "Global",
      "Identifier", "Number", "Float", "String",
      "Plus", "Minus", "Star", "Slash", "Percent", "Power",
      "Assign", "PlusAssign", "MinusAssign", "StarAssign", "SlashAssign",
      "Equal", "NotEqual", "Less", "Greater", "LessEqual", "GreaterEqual",
      "LParen", "RParen", "LBrace", "RBrace", "LBracket", "RBracket",
      "Comma", "Colon", "Semicolon", "Arrow", "FatArrow", "Dot", "Question",
      "Use", "As", "EOF",
  };
  return kNames[static_cast<size_t>(kind)];
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
