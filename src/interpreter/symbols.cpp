// Name interning. Names are never removed, so symbols stay valid for the process's life.
#include "interpreter/symbols.hpp"

#include <deque>
#include <unordered_map>

namespace vormel {
namespace {

struct SymbolTable {
  std::deque<std::string> names;  // deque: references stay valid as it grows
  std::unordered_map<std::string_view, Symbol> ids;
};

SymbolTable& table() {
  static SymbolTable instance;
  return instance;
}

}  // namespace

Symbol intern(std::string_view name) {
  SymbolTable& t = table();
  auto it = t.ids.find(name);
  if (it != t.ids.end()) return it->second;
  const std::string& stored = t.names.emplace_back(name);
  auto id = static_cast<Symbol>(t.names.size() - 1);
  t.ids.emplace(stored, id);
  return id;
}

const std::string& symbol_name(Symbol symbol) { return table().names[static_cast<size_t>(symbol)]; }

size_t symbol_count() { return table().names.size(); }

}  // namespace vormel
