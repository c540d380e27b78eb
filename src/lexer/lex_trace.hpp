// Where each token came from, and what the lexer passed over: an optional side output of
// tokenize() for tools (the checker, the language server). The token list itself is the same
// with or without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vormel {

struct SourcePosition {
  size_t offset = 0;    // byte offset into the source
  uint32_t line = 1;    // 1-based
  uint32_t column = 1;  // 1-based, counted in Unicode characters
};

enum class LexNoteKind : uint8_t {
  UnknownCharacter,     // a character that starts no token, dropped
  UnterminatedString,   // a string literal cut off by the end of the input
  UnterminatedComment,  // a block comment cut off by the end of the input
  IntegerTooLarge,      // an integer literal beyond the 64-bit range, read as a float
};

struct LexNote {
  LexNoteKind kind;
  SourcePosition at;       // where the character, literal or comment begins
  char32_t character = 0;  // UnknownCharacter: the character dropped
};

struct LexTrace {
  std::vector<SourcePosition> token_starts;  // one per token, the final Eof included
  std::vector<SourcePosition> token_ends;    // just after each token's last character
  std::vector<LexNote> notes;                // in source order
};

// Moves `cursor` forward through `source` to `offset`, counting lines and columns.
void advance_position(SourcePosition& cursor, std::string_view source, size_t offset);

// Line and column of byte offsets within one source text.
class LineIndex {
 public:
  explicit LineIndex(std::string_view source);
  SourcePosition at(size_t offset) const;
  // Fills line and column of positions whose offsets are set, in one forward sweep when the
  // offsets do not decrease (as the lexer records them).
  void resolve(std::vector<SourcePosition>& positions) const;
  // The text of 1-based line `line` without its line break (empty past the end).
  std::string_view line_text(uint32_t line) const;

 private:
  std::string_view source_;
  std::vector<size_t> line_starts_;
};

}  // namespace vormel
