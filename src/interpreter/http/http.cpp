// The "http" module: the export table now; the functions arrive with the HTTP work, and
// until then the dispatcher claims no name.
#include "interpreter/http/http.hpp"

namespace vormel {

ExportTable http_exports() {
  ExportTable table;
  for (const char* name : {"page", "serve", "template", "json", "status", "send", "get", "post"})
    table.insert_or_assign(name, Value::builtin_function(std::string("http.") + name));
  return table;
}

std::optional<Value> dispatch_http(std::string_view, std::span<Value>) { return std::nullopt; }

}  // namespace vormel
