// One script as the editor tools (the checker, the language server) see it: its tokens with
// their positions, its tree, and what the lexer and parser passed over.
#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

#include "lexer/lex_trace.hpp"
#include "lexer/token.hpp"
#include "parser/ast.hpp"
#include "parser/parse_listener.hpp"

namespace vormel {

struct ParseRecovery {
  ParseIssue issue;
  size_t token;
  size_t related;
};

struct ScriptView {
  std::string_view source;
  TokenList tokens;
  LexTrace trace;
  StmtList program;
  std::vector<ParseRecovery> recoveries;
  // The token that gives each node its kind (see ParseListener).
  std::unordered_map<const Expr*, size_t> expression_tokens;
  std::unordered_map<const Stmt*, size_t> statement_tokens;

  // The source text of token `index` ("" for the end of the input).
  std::string_view spelling(size_t index) const;
  // ParseListener::kNoToken for a node the listener did not hear of (a match arm's
  // expression body is not a statement of its own).
  size_t token_of(const Expr& expr) const;
  size_t token_of(const Stmt& stmt) const;
};

// Lexes and parses `source`, which must outlive the view.
ScriptView read_script_view(std::string_view source);

}  // namespace vormel
