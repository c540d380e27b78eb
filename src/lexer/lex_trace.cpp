// Byte offsets to lines and columns. Lines break at line feeds; a column counts characters,
// so a name after "é" is one column further, not two.
#include "lexer/lex_trace.hpp"

#include <algorithm>

#include "support/text_format.hpp"

namespace vormel {

LineIndex::LineIndex(std::string_view source) : source_(source) {
  line_starts_.push_back(0);
  for (size_t i = 0; i < source.size(); ++i)
    if (source[i] == '\n') line_starts_.push_back(i + 1);
}

void advance_position(SourcePosition& cursor, std::string_view source, size_t offset) {
  const size_t target = std::min(offset, source.size());
  while (cursor.offset < target) {
    if (source[cursor.offset] == '\n') {
      ++cursor.offset;
      ++cursor.line;
      cursor.column = 1;
    } else {
      decode_utf8(source, cursor.offset);
      ++cursor.column;
    }
  }
}

SourcePosition LineIndex::at(size_t offset) const {
  offset = std::min(offset, source_.size());
  auto next = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  size_t line_index = static_cast<size_t>(next - line_starts_.begin()) - 1;
  size_t p = line_starts_[line_index];
  uint32_t column = 1;
  while (p < offset) {
    decode_utf8(source_, p);
    ++column;
  }
  return SourcePosition{offset, static_cast<uint32_t>(line_index + 1), column};
}

void LineIndex::resolve(std::vector<SourcePosition>& positions) const {
  SourcePosition cursor;
  for (SourcePosition& position : positions) {
    if (position.offset < cursor.offset) {
      position = at(position.offset);
      continue;
    }
    advance_position(cursor, source_, position.offset);
    position = cursor;
  }
}

std::string_view LineIndex::line_text(uint32_t line) const {
  if (line == 0 || line > line_starts_.size()) return {};
  size_t start = line_starts_[line - 1];
  size_t end = line < line_starts_.size() ? line_starts_[line] - 1 : source_.size();
  return source_.substr(start, end - start);
}

}  // namespace vormel
