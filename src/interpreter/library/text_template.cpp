#include "interpreter/library/text_template.hpp"

#include <new>
#include <string>

#include "interpreter/library/character_positions.hpp"
#include "interpreter/library/library_support.hpp"
#include "interpreter/library/text_arguments.hpp"

namespace vormel::library {

Value fill_template(std::string_view pattern, std::span<const Value> values) {
  std::string out;
  size_t used = 0;
  size_t placeholders = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    auto next_is = [&](char wanted) { return i + 1 < pattern.size() && pattern[i + 1] == wanted; };
    if (c == '{' && next_is('}')) {
      ++placeholders;
      if (used < values.size()) append_display_text(out, values[used++]);
      ++i;
    } else if ((c == '{' && next_is('{')) || (c == '}' && next_is('}'))) {
      out += c;
      ++i;
    } else if (c == '{' || c == '}') {
      return error(
          messages::kTextFormatUnmatched,
          {std::string_view(&pattern[i], 1), std::to_string(character_index_of(pattern, i))});
    } else {
      out += c;
    }
    if (out.size() > kMaxTextBytes) throw std::bad_alloc();
  }
  if (placeholders > values.size())
    return error(messages::kTextFormatTooFewArgs, {std::to_string(values.size())});
  if (placeholders < values.size())
    return error(messages::kTextFormatTooManyArgs,
                 {std::to_string(values.size()), std::to_string(placeholders)});
  return Value::string(std::move(out));
}

}  // namespace vormel::library
