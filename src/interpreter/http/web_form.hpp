// Query strings and url-encoded forms: "a=1&b=x%20y" into (name, value) pairs, with
// percent escapes decoded and '+' read as a space. A '%' not followed by two hex digits
// stays as it is.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vormel::http {

std::string percent_decode(std::string_view text, bool plus_is_space);
// Pairs in the order written; an empty piece ("a=1&&b") is skipped, a name without '='
// has the value "".
std::vector<std::pair<std::string, std::string>> form_pairs(std::string_view text);

}  // namespace vormel::http
