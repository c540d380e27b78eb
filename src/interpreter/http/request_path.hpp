// The request path the server answers: the second word of the request's first line.
#pragma once

#include <string>
#include <string_view>

namespace vormel::http {

// `received` is what the one receive got. It is decoded as UTF-8 (each invalid byte becomes
// U+FFFD); the first line ends at the first line feed (one carriage return before it is
// dropped) and is split at runs of Unicode white space. With fewer than two words, or
// nothing received, the path is "/". The word is kept as sent: query and fragment included.
std::string request_path(std::string_view received);

}  // namespace vormel::http
