// A script name goes to its def, else to its first binding; a module to its file; a module's
// function (and a name imported from a module) to its def in that file. The built-in and
// library modules are in no file: their names go nowhere (an imported item to its import).
#include "lsp/definitions.hpp"

#include <optional>

#include "lsp/module_files.hpp"
#include "lsp/name_index.hpp"
#include "lsp/protocol_json.hpp"

namespace vormel {

using nlohmann::json;

namespace {

// The definition of `name` in the module file, or null.
json definition_in_module(const std::string& uri, const std::string& module,
                          const std::string& name) {
  if (module_table_beside(uri, module)) return nullptr;  // not in any file
  std::optional<std::string> text = read_module_beside(uri, module);
  if (!text) return nullptr;
  NameIndex index = index_names(*text);
  const NameOccurrence* definition = index.definition_of(name);
  if (!definition) return nullptr;
  return location_json(module_uri(uri, module), *text, definition->start, definition->end);
}

}  // namespace

json find_definition(const std::string& uri, std::string_view text, size_t offset) {
  NameIndex index = index_names(text);
  const NameOccurrence* occurrence = index.at(offset);
  if (!occurrence) return nullptr;
  switch (occurrence->role) {
    case NameRole::Module:
    case NameRole::ModuleQualifier: {
      if (module_table_beside(uri, occurrence->module) ||
          !read_module_beside(uri, occurrence->module))
        return nullptr;
      json start = {{"line", 0}, {"character", 0}};
      return {{"uri", module_uri(uri, occurrence->module)},
              {"range", {{"start", start}, {"end", start}}}};
    }
    case NameRole::ModuleFunction:
      return definition_in_module(uri, occurrence->module, occurrence->name);
    default: break;
  }
  const NameOccurrence* definition = index.definition_of(occurrence->name);
  if (!definition) return nullptr;
  if (definition->role == NameRole::Import) {
    json found = definition_in_module(uri, definition->module, definition->name);
    if (!found.is_null()) return found;  // else the import is the closest there is
  }
  return location_json(uri, text, definition->start, definition->end);
}

}  // namespace vormel
