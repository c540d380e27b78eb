// Signature help: inside a call's parentheses, the called function's parameters with the
// one the cursor is at, for built-ins, module functions and the script's own functions.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace vormel {

// A SignatureHelp, or null when the offset is inside no call of a known function.
nlohmann::json signature_help(const std::string& uri, std::string_view text, size_t offset);

}  // namespace vormel
