#include "support/text_case.hpp"

#include "support/unicode_rules.hpp"

namespace vormel {

std::string to_case(std::string_view text, TextCase target) {
  bool upper = target == TextCase::Upper;
  std::string mapped(text);
  bool ascii = true;
  for (char& c : mapped) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  // ASCII letters map to ASCII letters alone; anything else takes ICU's rules.
  if (ascii) return mapped;
  if (!unicode::map_case(text, upper, mapped)) return std::string(text);
  return mapped;
}

}  // namespace vormel
