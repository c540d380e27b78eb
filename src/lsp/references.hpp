// Find references: every place in a document that names what the name at a byte offset
// names (strings, comments, members after a dot and dictionary keys are not names).
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace vormel {

// An array of Locations in source order, or null when no name is at the offset. Without
// `include_declaration`, the def or first binding (or the use statements, for a module) is
// left out.
nlohmann::json find_references(const std::string& uri, std::string_view text, size_t offset,
                               bool include_declaration);

}  // namespace vormel
