// libFuzzer target: any bytes through json.parse must neither crash nor hang, an Error's
// message must be UTF-8 text, and a value read must write as JSON text that reads back as
// the same value (its text again), in the one-line and the indented layout alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "interpreter/http/json_text.hpp"
#include "interpreter/library/json_parse.hpp"
#include "support/text_format.hpp"

namespace {

std::string text_of(const vormel::Value& value, int indent) {
  vormel::http::JsonLayout layout;
  layout.floats_keep_point = true;
  layout.indent = indent;
  return vormel::http::to_json(value, layout);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  vormel::Value value = vormel::parse_json(input);
  if (value.is(vormel::ValueKind::Error)) {
    if (!vormel::is_valid_utf8(value.error_message())) std::abort();
    return 0;
  }
  std::string text = text_of(value, -1);
  vormel::Value again = vormel::parse_json(text);
  if (again.is(vormel::ValueKind::Error) || text_of(again, -1) != text) std::abort();
  vormel::Value from_indented = vormel::parse_json(text_of(value, 2));
  if (from_indented.is(vormel::ValueKind::Error) || text_of(from_indented, -1) != text)
    std::abort();
  return 0;
}
