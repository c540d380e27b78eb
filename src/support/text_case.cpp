#include "support/text_case.hpp"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/stringpiece.h>

namespace vormel {

std::string to_case(std::string_view text, TextCase target) {
  std::string mapped;
  mapped.reserve(text.size());
  icu::StringByteSink<std::string> sink(&mapped);
  icu::StringPiece piece(text.data(), static_cast<int32_t>(text.size()));
  UErrorCode status = U_ZERO_ERROR;
  if (target == TextCase::Upper) {
    icu::CaseMap::utf8ToUpper("", 0, piece, sink, nullptr, status);
  } else {
    icu::CaseMap::utf8ToLower("", 0, piece, sink, nullptr, status);
  }
  if (U_FAILURE(status)) return std::string(text);
  return mapped;
}

}  // namespace vormel
