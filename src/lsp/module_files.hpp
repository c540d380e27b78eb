// Modules as the language server finds them: the file "{name}.vl" in the folder of the
// document that uses it, else a library module of that name.
#pragma once

#include <optional>
#include <string>

#include "interpreter/native_module.hpp"

namespace vormel {

// The local path of a file: URI ("file:///a%20b.vl" gives "/a b.vl"), or "" for other schemes.
std::string path_of_uri(const std::string& uri);
// The URI of "{name}.vl" beside the document `uri` ("" when the document is not a file).
std::string module_uri(const std::string& uri, const std::string& name);
// The text of the module "{name}.vl" beside the document, when it can be read.
std::optional<std::string> read_module_beside(const std::string& uri, const std::string& name);
// Whether "{name}.vl" exists beside the document, readable or not.
bool module_file_beside(const std::string& uri, const std::string& name);
// The function table `use name` reaches from the document: "sdl2", "http", or a library
// module that no file beside it hides; null for a script module.
const NativeModule* module_table_beside(const std::string& uri, const std::string& name);

}  // namespace vormel
