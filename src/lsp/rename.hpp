// Rename of the script's own functions and variables within one document. Built-in names,
// keywords, module names and names that come from a module are refused with a message that
// says why (a RequestRefused).
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace vormel {

// The range and text of the name at `offset`, when it may be renamed.
nlohmann::json prepare_rename(std::string_view text, size_t offset);
// A WorkspaceEdit that renames every reference of the name at `offset` to `new_name`.
nlohmann::json rename_name(const std::string& uri, std::string_view text, size_t offset,
                           const std::string& new_name);

}  // namespace vormel
