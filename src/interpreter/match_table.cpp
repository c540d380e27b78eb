#include "interpreter/match_table.hpp"

#include <memory>

namespace vormel {
namespace {

// What a `match` that has no table keeps in its cache: nothing, found once.
struct NoMatchTable final : NodeCache {};

// Adds the literal `pattern` chooses `arm` by; false when it is no literal.
bool add_literal(MatchTable& table, const Expr& pattern, uint32_t arm) {
  MatchTable::Entry entry{};
  entry.arm = arm;
  switch (pattern.kind) {
    case ExprKind::Number:
      entry.integer = static_cast<const NumberExpr&>(pattern).value;
      table.numbers.push_back(entry);
      return true;
    case ExprKind::Float:
      entry.real = static_cast<const FloatExpr&>(pattern).value;
      table.floats.push_back(entry);
      return true;
    case ExprKind::String:
      entry.text = static_cast<const StringExpr&>(pattern).value;
      table.strings.push_back(entry);
      return true;
    case ExprKind::Boolean:
      entry.truth = static_cast<const BooleanExpr&>(pattern).value;
      table.booleans.push_back(entry);
      return true;
    default: return false;
  }
}

std::unique_ptr<NodeCache> table_for(const MatchStmt& s) {
  auto table = std::make_unique<MatchTable>();
  table->otherwise = static_cast<uint32_t>(s.arms.size());
  for (uint32_t i = 0; i < s.arms.size(); ++i) {
    const Pattern& pattern = s.arms[i].pattern;
    if (pattern.kind == PatternKind::Wildcard) {
      table->otherwise = i;
      break;
    }
    if (!add_literal(*table, *pattern.value, i)) return std::make_unique<NoMatchTable>();
  }
  return table;
}

}  // namespace

const MatchTable* match_table_of(const MatchStmt& s) {
  if (!s.cache) s.cache.reset(table_for(s).release());
  return dynamic_cast<const MatchTable*>(s.cache.get());
}

}  // namespace vormel
