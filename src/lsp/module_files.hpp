// Script modules as the language server finds them: the file "{name}.vl" in the folder of
// the document that uses it.
#pragma once

#include <optional>
#include <string>

namespace vormel {

// The local path of a file: URI ("file:///a%20b.vl" gives "/a b.vl"), or "" for other schemes.
std::string path_of_uri(const std::string& uri);
// The URI of "{name}.vl" beside the document `uri` ("" when the document is not a file).
std::string module_uri(const std::string& uri, const std::string& name);
// The text of the module "{name}.vl" beside the document, when it can be read.
std::optional<std::string> read_module_beside(const std::string& uri, const std::string& name);

}  // namespace vormel
