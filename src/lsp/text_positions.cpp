#include "lsp/text_positions.hpp"

#include "support/text_format.hpp"

namespace vormel {
namespace {

size_t utf16_units(char32_t c) { return c >= 0x10000 ? 2 : 1; }

bool is_name_byte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         (static_cast<unsigned char>(c) & 0x80) != 0;  // non-ASCII letters continue names
}

}  // namespace

LspPosition to_lsp_position(std::string_view text, size_t offset) {
  if (offset > text.size()) offset = text.size();
  // At offset 0 no line break comes before (rfind from npos would find the last one).
  size_t line_start = offset == 0 ? std::string_view::npos : text.rfind('\n', offset - 1);
  line_start = line_start == std::string_view::npos ? 0 : line_start + 1;
  LspPosition position;
  for (size_t i = 0; i < line_start; ++i)
    if (text[i] == '\n') ++position.line;
  for (size_t p = line_start; p < offset;) position.character += utf16_units(decode_utf8(text, p));
  return position;
}

LspPosition to_lsp_position(const LineIndex& lines, const SourcePosition& position) {
  std::string_view line = lines.line_text(position.line);
  LspPosition result{position.line - 1, 0};
  // Count up to the position's character count (a column is characters + 1).
  size_t p = 0;
  for (uint32_t column = 1; column < position.column && p < line.size(); ++column)
    result.character += utf16_units(decode_utf8(line, p));
  return result;
}

size_t to_offset(std::string_view text, LspPosition position) {
  size_t p = 0;
  for (size_t line = 0; line < position.line; ++line) {
    size_t next = text.find('\n', p);
    if (next == std::string_view::npos) return text.size();
    p = next + 1;
  }
  size_t units = 0;
  while (p < text.size() && text[p] != '\n' && units < position.character) {
    size_t before = p;
    units += utf16_units(decode_utf8(text, p));
    if (units > position.character) return before;  // inside a surrogate pair
  }
  return p;
}

NameSpan name_at(std::string_view text, size_t offset) {
  if (offset > text.size()) offset = text.size();
  size_t start = offset;
  while (start > 0 && is_name_byte(text[start - 1])) --start;
  size_t end = offset;
  while (end < text.size() && is_name_byte(text[end])) ++end;
  return NameSpan{start, end};
}

}  // namespace vormel
