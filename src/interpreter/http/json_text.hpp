// JSON text of a value. Strings and keys are escaped as JSON requires, NaN and the
// infinities become null, and nesting of any depth is walked without native recursion.
#pragma once

#include <string>
#include <string_view>

#include "interpreter/value.hpp"

namespace vormel::http {

std::string to_json(const Value& value);
// Appends `text` as a JSON string: quoted, with \" \\ and control characters escaped.
void append_json_string(std::string& out, std::string_view text);

}  // namespace vormel::http
