// Status lines for scripts: "HTTP/1.1 {code} {reason}" and the reason-phrase table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vormel::http {

// The standard reason phrase of `code`, or "Unknown".
std::string_view reason_phrase(int64_t code);
// "HTTP/1.1 ", the code in decimal, one space, the reason; no line ending.
std::string status_line(int64_t code, std::string_view reason);

}  // namespace vormel::http
