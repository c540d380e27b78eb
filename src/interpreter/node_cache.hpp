// What the interpreter keeps in a syntax-tree node once it has run it. The tree owns a
// NodeCache without knowing what it holds; each node kind that has one holds one kind.
#pragma once

#include <string>
#include <utility>

#include "interpreter/dict.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/native_module.hpp"
#include "interpreter/value.hpp"
#include "parser/ast.hpp"

namespace vormel {

struct NodeCache {
  virtual ~NodeCache() = default;
};

// A string literal's value, built once and shared by every evaluation (StringExpr).
struct LiteralValue final : NodeCache {
  explicit LiteralValue(Value literal) : value(std::move(literal)) {}
  Value value;
};

// A constant member name prepared for dict lookups (IndexExpr `d.x`); it points into the
// node's own text, which lives as long as the node.
struct MemberKey final : NodeCache {
  explicit MemberKey(const std::string& name) : key(name) {}
  Dict::Key key;
};

// Where a dotted call "m.f" goes (CallExpr).
struct DottedRoute final : NodeCache {
  std::string module;                               // m
  std::string function;                             // f
  const NativeModule* native_module = nullptr;      // set when m names a native module
  const NativeFunction* native_function = nullptr;  // and f is one of its functions
  // The library function the last call found under m's f, by its full name ("text.trim"):
  // found again only when m's table holds another.
  mutable std::string library_name;
  mutable LibraryFunction library;
};

// The cache in `slot`, as the kind the interpreter stored there.
template <typename Cache>
[[gnu::always_inline]] inline const Cache& cached(const NodeCachePtr& slot) {
  return static_cast<const Cache&>(*slot);
}

}  // namespace vormel
