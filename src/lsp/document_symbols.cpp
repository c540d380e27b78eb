#include "lsp/document_symbols.hpp"

#include <algorithm>

#include "lsp/name_index.hpp"
#include "lsp/protocol_json.hpp"

namespace vormel {

using nlohmann::json;

namespace {

// The protocol's SymbolKind values.
constexpr int kSymbolFunction = 12;
constexpr int kSymbolVariable = 13;

std::string parameter_list(const std::vector<std::string>& params) {
  std::string text = "(";
  for (size_t i = 0; i < params.size(); ++i) text += (i ? ", " : "") + params[i];
  return text + ")";
}

json symbol_json(std::string_view text, const std::string& name, int kind, size_t start, size_t end,
                 size_t name_start, size_t name_end) {
  return {{"name", name},
          {"kind", kind},
          {"range", range_json(text, start, end)},
          {"selectionRange", range_json(text, name_start, name_end)}};
}

// Builds the symbol of `outline` and its nested functions with an explicit stack: defs can
// nest as deep as the parser allows.
json function_symbol(std::string_view text, const FunctionOutline& outline) {
  struct Pending {
    const FunctionOutline* function;
    json* into;  // the children array that receives it
  };
  json root = json::array();
  std::vector<Pending> pending{{&outline, &root}};
  while (!pending.empty()) {
    Pending next = pending.back();
    pending.pop_back();
    const FunctionOutline& f = *next.function;
    json symbol =
        symbol_json(text, f.name, kSymbolFunction, f.start, f.end, f.name_start, f.name_end);
    symbol["detail"] = parameter_list(f.params);
    symbol["children"] = json::array();
    next.into->push_back(std::move(symbol));
    json* children = &next.into->back()["children"];
    children->get_ptr<json::array_t*>()->reserve(f.nested.size());  // addresses stay put
    for (auto it = f.nested.rbegin(); it != f.nested.rend(); ++it)
      pending.push_back({&*it, children});
  }
  return std::move(root[0]);
}

}  // namespace

json document_symbols(std::string_view text) {
  NameIndex index = index_names(text);
  json symbols = json::array();
  for (const FunctionOutline& f : index.functions) symbols.push_back(function_symbol(text, f));
  for (const VariableOutline& v : index.globals)
    symbols.push_back(
        symbol_json(text, v.name, kSymbolVariable, v.start, v.end, v.name_start, v.name_end));
  std::stable_sort(symbols.begin(), symbols.end(), [](const json& a, const json& b) {
    const json& x = a["range"]["start"];
    const json& y = b["range"]["start"];
    return std::make_pair(x["line"].get<size_t>(), x["character"].get<size_t>()) <
           std::make_pair(y["line"].get<size_t>(), y["character"].get<size_t>());
  });
  return symbols;
}

}  // namespace vormel
