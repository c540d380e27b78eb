// Resolving a syntax node's name to its interned symbol once, caching it in the node.
#pragma once

#include <string>

#include "interpreter/symbols.hpp"
#include "parser/ast.hpp"

namespace vormel {

inline Symbol cached_symbol(SymbolCache& cache, const std::string& name) {
  if (cache == kUnresolved) cache = intern(name);
  return cache;
}

}  // namespace vormel
