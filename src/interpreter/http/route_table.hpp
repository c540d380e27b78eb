// The process-wide table of static pages: (path, content) pairs in the order they were
// added. Entries are never removed or replaced, so lookup finds the first registration.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vormel::http {

void add_page(std::string path, std::string content);
using PageContent = std::shared_ptr<const std::string>;

// The content of the first page registered under `path` (byte-exact compare), or null. It is
// shared, not copied: many connections may be sending the same large page at once.
PageContent find_page(std::string_view path);

}  // namespace vormel::http
