// The brackets still open at a point of a token list, for the tools that need to know what a
// token stands inside (a dictionary literal, a call's argument list). Broken code is common
// while typing, so a closer pairs with the nearest opener of its kind and one without any is
// passed over.
#pragma once

#include <cstddef>
#include <vector>

#include "lexer/token.hpp"

namespace vormel {

class BracketStack {
 public:
  struct Open {
    size_t token;  // the opener's index in the token list
    TokenKind kind;
  };

  // Takes token `index` of kind `kind` in: an opener is pushed; a closer pops its opener
  // (with anything left open inside it) and gives the opener's index. Otherwise -1.
  static constexpr size_t kNone = static_cast<size_t>(-1);
  size_t step(TokenKind kind, size_t index);

  const std::vector<Open>& open() const { return open_; }
  bool empty() const { return open_.empty(); }
  const Open& innermost() const { return open_.back(); }

 private:
  std::vector<Open> open_;
};

}  // namespace vormel
