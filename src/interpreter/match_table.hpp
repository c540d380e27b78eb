// A `match` whose arms are literals (numbers, floats, strings, booleans) up to its first
// wildcard, prepared as one table per kind of subject: a subject is compared only with the
// literals of its own kind, the only ones pattern_equals() could find equal, and the first
// of them in arm order that is equal chooses the arm, as running the arms in order would.
// Evaluating a literal pattern runs no code and cannot fail, and the arms after the first
// wildcard are never reached, so the table chooses exactly the arm the general way chooses.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "interpreter/node_cache.hpp"
#include "interpreter/value.hpp"
#include "parser/ast.hpp"
#include "support/text_equality.hpp"

namespace vormel {

struct MatchTable final : NodeCache {
  struct Entry {
    union {
      int64_t integer;
      double real;
      bool truth;
    };
    std::string_view text;  // a string literal's, in its node
    uint32_t arm;
  };
  std::vector<Entry> numbers, floats, strings, booleans;
  uint32_t otherwise = 0;  // the first wildcard arm, or the arm count when there is none

  // The arm `subject` chooses (`otherwise` when no literal equals it).
  uint32_t arm_for(const Value& subject) const {
    switch (subject.kind()) {
      case ValueKind::Number:
        for (const Entry& e : numbers)
          if (e.integer == subject.as_number()) return e.arm;
        break;
      case ValueKind::String: {
        const std::string_view text = subject.as_string();
        for (const Entry& e : strings)
          if (texts_equal(text, e.text)) return e.arm;
        break;
      }
      case ValueKind::Float:
        for (const Entry& e : floats)
          if (floats_equal(subject.as_float(), e.real)) return e.arm;
        break;
      case ValueKind::Boolean:
        for (const Entry& e : booleans)
          if (e.truth == subject.as_boolean()) return e.arm;
        break;
      default: break;
    }
    return otherwise;
  }
};

// The table for `s`, made on first use and kept in the node; null when an arm before the
// first wildcard has a pattern that is not a literal.
const MatchTable* match_table_of(const MatchStmt& s);

}  // namespace vormel
