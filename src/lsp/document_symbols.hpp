// Document symbols: the outline an editor shows, the functions (with the functions defined
// inside them) and the top-level variables of a document.
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace vormel {

// An array of DocumentSymbols in source order.
nlohmann::json document_symbols(std::string_view text);

}  // namespace vormel
