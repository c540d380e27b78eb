#include "lsp/references.hpp"

#include "lsp/name_index.hpp"
#include "lsp/protocol_json.hpp"

namespace vormel {

using nlohmann::json;

json find_references(const std::string& uri, std::string_view text, size_t offset,
                     bool include_declaration) {
  NameIndex index = index_names(text);
  const NameOccurrence* occurrence = index.at(offset);
  if (!occurrence) return nullptr;
  const NameOccurrence* declaration =
      occurrence->is_script_name() ? index.definition_of(occurrence->name) : nullptr;
  json locations = json::array();
  for (const NameOccurrence* found : index.same_target(*occurrence)) {
    bool declares = found == declaration || found->role == NameRole::Module;
    if (declares && !include_declaration) continue;
    locations.push_back(location_json(uri, text, found->start, found->end));
  }
  return locations;
}

}  // namespace vormel
