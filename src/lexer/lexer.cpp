// One forward pass over the characters; unrecognised characters are dropped silently.
#include "lexer/lexer.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "lexer/lex_trace.hpp"
#include "support/text_format.hpp"
#include "support/unicode_rules.hpp"

namespace vormel {
namespace {

bool is_ascii_digit(char32_t c) { return c >= '0' && c <= '9'; }
bool is_name_start(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
// Alphabetic, or a numeric category (Nd, Nl, No), or "_".
bool is_name_continue(char32_t c) { return c == '_' || unicode::is_alphanumeric(c); }

class Lexer {
 public:
  explicit Lexer(std::string_view source, LexTrace* trace = nullptr)
      : source_(source), trace_(trace) {}

  TokenList run() {
    if (trace_ != nullptr) return run_traced();
    while (pos_ < source_.size()) {
      size_t start = pos_;
      size_t count = tokens_.size();
      step();
      if (tokens_.size() > count) place(tokens_.back(), start);
    }
    tokens_.emplace_back(TokenKind::Eof);
    place(tokens_.back(), pos_);
    return std::move(tokens_);
  }

 private:
  // Gives `token` the line and column of `offset`, moving one cursor forward through the
  // source as LineIndex counts (tokens begin in increasing order).
  void place(Token& token, size_t offset) {
    advance_position(cursor_, source_, offset);
    token.line = cursor_.line;
    token.column = static_cast<uint16_t>(std::min<uint32_t>(cursor_.column, UINT16_MAX));
  }
  SourcePosition cursor_;

  // run() that also records where each token begins and ends (a step emits at most one).
  TokenList run_traced() {
    while (pos_ < source_.size()) {
      size_t start = step_start_ = pos_;
      size_t count = tokens_.size();
      step();
      if (tokens_.size() > count) {
        place(tokens_.back(), start);
        trace_->token_starts.push_back(SourcePosition{start});
        trace_->token_ends.push_back(SourcePosition{pos_});
      }
    }
    tokens_.emplace_back(TokenKind::Eof);
    place(tokens_.back(), pos_);
    trace_->token_starts.push_back(SourcePosition{pos_});
    trace_->token_ends.push_back(SourcePosition{pos_});
    LineIndex lines(source_);
    lines.resolve(trace_->token_starts);
    lines.resolve(trace_->token_ends);
    std::vector<SourcePosition> note_positions;
    for (const LexNote& note : trace_->notes) note_positions.push_back(note.at);
    lines.resolve(note_positions);
    for (size_t i = 0; i < note_positions.size(); ++i) trace_->notes[i].at = note_positions[i];
    return std::move(tokens_);
  }
  void note(LexNoteKind kind, size_t offset, char32_t character = 0) {
    if (trace_ != nullptr)
      trace_->notes.push_back(LexNote{kind, SourcePosition{offset}, character});
  }

  // The character at byte offset `at` (0 past the end), without consuming it.
  char32_t peek_at(size_t at) const {
    if (at >= source_.size()) return 0;
    size_t p = at;
    return decode_utf8(source_, p);
  }
  char32_t peek() const { return peek_at(pos_); }
  size_t next_offset(size_t at) const {
    size_t p = at;
    decode_utf8(source_, p);
    return p;
  }
  char32_t advance() { return decode_utf8(source_, pos_); }
  bool at_end() const { return pos_ >= source_.size(); }
  void emit(TokenKind kind) { tokens_.emplace_back(kind); }
  // Consumes `second` if it is next and emits `pair`, else emits `single`.
  void either(char32_t second, TokenKind pair, TokenKind single) {
    if (!at_end() && peek() == second) {
      advance();
      emit(pair);
    } else {
      emit(single);
    }
  }

  void step() {
    char32_t c = advance();
    switch (c) {
      case '\t':
      case '\n':
      case '\r':
      case ' ': return;
      case '#':
        while (!at_end() && advance() != '\n') {
        }
        return;
      case '"': return string_literal();
      case '!': return either('=', TokenKind::NotEqual, TokenKind::Not);
      case '=':
        if (peek() == '>') {
          advance();
          return emit(TokenKind::FatArrow);
        }
        return either('=', TokenKind::Equal, TokenKind::Assign);
      case '<': return either('=', TokenKind::LessEqual, TokenKind::Less);
      case '>': return either('=', TokenKind::GreaterEqual, TokenKind::Greater);
      case '*':
        if (peek() == '=') {
          advance();
          return emit(TokenKind::StarAssign);
        }
        return either('*', TokenKind::Power, TokenKind::Star);
      case '/':
        if (peek() == '*') {
          advance();
          return block_comment();
        }
        return either('=', TokenKind::SlashAssign, TokenKind::Slash);
      case '+': return either('=', TokenKind::PlusAssign, TokenKind::Plus);
      case '-':
        if (peek() == '>') {
          advance();
          return emit(TokenKind::Arrow);
        }
        return either('=', TokenKind::MinusAssign, TokenKind::Minus);
      case '%': return emit(TokenKind::Percent);
      case '(': return emit(TokenKind::LParen);
      case ')': return emit(TokenKind::RParen);
      case '{': return emit(TokenKind::LBrace);
      case '}': return emit(TokenKind::RBrace);
      case '[': return emit(TokenKind::LBracket);
      case ']': return emit(TokenKind::RBracket);
      case ',': return emit(TokenKind::Comma);
      case ':': return emit(TokenKind::Colon);
      case ';': return emit(TokenKind::Semicolon);
      case '.': return emit(TokenKind::Dot);
      case '?': return emit(TokenKind::Question);
      default: break;
    }
    if (is_ascii_digit(c)) return number(pos_ - 1);
    if (is_name_start(c)) return name(pos_ - 1);
    // Anything else is dropped.
    note(LexNoteKind::UnknownCharacter, step_start_, c);
  }

  // After "/*": skip to the first "*/" after the opening pair.
  void block_comment() {
    size_t start = pos_ - 2;
    while (!at_end()) {
      if (advance() == '*' && peek() == '/') {
        advance();
        return;
      }
    }
    note(LexNoteKind::UnterminatedComment, start);
  }

  void string_literal() {
    std::string text;
    size_t opening = pos_ - 1;
    bool closed = false;
    while (!at_end()) {
      size_t start = pos_;
      char32_t c = advance();
      if (c == '"') {
        closed = true;
        break;
      }
      if (c != '\\') {
        text.append(source_.substr(start, pos_ - start));
        continue;
      }
      if (at_end()) break;  // a trailing backslash is dropped
      size_t escape_start = pos_;
      char32_t e = advance();
      switch (e) {
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 'r': text += '\r'; break;
        case '\\': text += '\\'; break;
        case '"': text += '"'; break;
        default: text += '\\'; text.append(source_.substr(escape_start, pos_ - escape_start));
      }
    }
    if (!closed) note(LexNoteKind::UnterminatedString, opening);
    tokens_.push_back(Token::string(std::move(text)));
  }

  void number(size_t start) {
    bool has_dot = false;
    while (!at_end()) {
      char32_t c = peek();
      if (is_ascii_digit(c)) {
        advance();
      } else if (c == '.' && !has_dot && is_ascii_digit(peek_at(pos_ + 1))) {
        has_dot = true;
        advance();
      } else {
        break;
      }
    }
    std::string digits(source_.substr(start, pos_ - start));
    if (has_dot) {
      tokens_.push_back(Token::floating(std::strtod(digits.c_str(), nullptr)));
      return;
    }
    errno = 0;
    long long value = std::strtoll(digits.c_str(), nullptr, 10);
    if (errno == ERANGE) {
      // Beyond the largest integer: the nearest Float to the literal's value.
      note(LexNoteKind::IntegerTooLarge, start);
      tokens_.push_back(Token::floating(std::strtod(digits.c_str(), nullptr)));
      return;
    }
    tokens_.push_back(Token::number(value));
  }

  void name(size_t start) {
    while (!at_end() && is_name_continue(peek())) pos_ = next_offset(pos_);
    std::string_view text = source_.substr(start, pos_ - start);
    if (std::optional<TokenKind> keyword = keyword_kind(text)) return emit(*keyword);
    tokens_.push_back(Token::identifier(std::string(text)));
  }

  std::string_view source_;
  LexTrace* trace_;
  size_t step_start_ = 0;  // traced runs: where the current step began
  size_t pos_ = 0;
  TokenList tokens_;
};

}  // namespace

TokenList tokenize(std::string_view source) { return Lexer(source).run(); }

TokenList tokenize(std::string_view source, LexTrace& trace) {
  trace = LexTrace{};
  return Lexer(source, &trace).run();
}

}  // namespace vormel
