// JSON text of a value. Strings and keys are escaped as JSON requires, NaN and the
// infinities become null, and nesting of any depth is walked without native recursion.
// The default layout is http.json's; json.text asks for floats that read back as floats
// and, optionally, an indented layout.
#pragma once

#include <string>
#include <string_view>

#include "interpreter/value.hpp"

namespace vormel::http {

struct JsonLayout {
  // Spaces per level, each element on its own line (as python's json.dumps(indent=n) lays
  // it out); negative: everything on one line with no spaces.
  int indent = -1;
  // A whole Float keeps a point ("3.0", not "3") so that parsing gives a Float again.
  bool floats_keep_point = false;
};

std::string to_json(const Value& value, const JsonLayout& layout = {});
// Appends `text` as a JSON string: quoted, with \" \\ and control characters escaped.
void append_json_string(std::string& out, std::string_view text);

}  // namespace vormel::http
