// Positions as the protocol counts them (0-based lines, UTF-16 code units within a line) and
// byte offsets into a document's UTF-8 text.
#pragma once

#include <cstddef>
#include <string_view>

#include "lexer/lex_trace.hpp"

namespace vormel {

struct LspPosition {
  size_t line = 0;
  size_t character = 0;
};

LspPosition to_lsp_position(std::string_view text, size_t offset);
// The same for a position the lexer resolved (its line is known; only the UTF-16 column is
// counted).
LspPosition to_lsp_position(const LineIndex& lines, const SourcePosition& position);
// The byte offset of a protocol position; positions past a line's end clamp to its end.
size_t to_offset(std::string_view text, LspPosition position);

// The name (letters, digits, "_") that touches byte `offset`, as [start, end) offsets.
struct NameSpan {
  size_t start = 0;
  size_t end = 0;
  bool empty() const { return start == end; }
};
NameSpan name_at(std::string_view text, size_t offset);

}  // namespace vormel
