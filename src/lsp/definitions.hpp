// Go to definition: where the name at a byte offset of a document is defined, in the
// document itself or in a script module beside it.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace vormel {

// A Location, or null when the name is defined nowhere the server can see (a built-in, a
// function of sdl2, http or a library module, a module file that is missing).
nlohmann::json find_definition(const std::string& uri, std::string_view text, size_t offset);

}  // namespace vormel
