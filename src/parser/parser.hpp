// Tokens to statements. Never reports: forms that break off are dropped, missing closers
// are passed over, and every input parses to an end.
#pragma once

#include "lexer/token.hpp"
#include "parser/ast.hpp"
#include "parser/parse_listener.hpp"

namespace vormel {

StmtList parse_program(const TokenList& tokens);
// The same tree; `listener` (may be null) hears what was passed over and where nodes begin.
StmtList parse_program(const TokenList& tokens, ParseListener* listener);

}  // namespace vormel
