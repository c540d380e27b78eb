// The base protocol of the language server: JSON messages framed by a Content-Length header.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace vormel {

// Messages larger than this are refused (the stream is then out of step and the server ends).
inline constexpr size_t kLargestMessageBytes = size_t{64} << 20;

// Messages nested deeper than this (arrays and objects) are refused as unparsable.
inline constexpr size_t kDeepestNesting = 256;

enum class ReadResult { Message, EndOfInput, BadFrame };

// Reads the next message body into `body`.
ReadResult read_message(std::istream& in, std::string& body);
void write_message(std::ostream& out, const nlohmann::json& message);
// Whether the JSON text `body` nests arrays and objects at most `limit` deep (brackets inside
// strings do not count); decided before parsing, in one pass.
bool nesting_within(std::string_view body, size_t limit);

}  // namespace vormel
