// The process-wide table of static pages: (path, content) pairs in the order they were
// added. Entries are never removed or replaced, so lookup finds the first registration.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vormel::http {

void add_page(std::string path, std::string content);
// A copy of the content of the first page registered under `path` (byte-exact compare).
std::optional<std::string> find_page(std::string_view path);

}  // namespace vormel::http
