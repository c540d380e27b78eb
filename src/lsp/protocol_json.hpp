// The protocol's small JSON shapes (positions, ranges, locations) built from a document's
// byte offsets, and read back from a request's parameters.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "lsp/text_positions.hpp"

namespace vormel {

nlohmann::json range_json(std::string_view text, size_t start, size_t end);
nlohmann::json location_json(const std::string& uri, std::string_view text, size_t start,
                             size_t end);
// Reads {"line": ..., "character": ...}; throws json::exception when it is not one.
LspPosition position_of(const nlohmann::json& position);
// The byte offset of a request's "position" in `text`.
size_t offset_param(std::string_view text, const nlohmann::json& params);

// A request the server understood but will not carry out (a rename of a built-in, say),
// answered with the protocol's RequestFailed error and this message.
struct RequestRefused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace vormel
