// Building warnings at tokens and at source positions.
#pragma once

#include <string>
#include <vector>

#include "checker/check.hpp"
#include "checker/script_bindings.hpp"
#include "parser/script_view.hpp"

namespace vormel {

Warning warning_at_token(const ScriptView& view, size_t token, std::string message);
Warning warning_at(const ScriptView& view, SourcePosition at, std::string message);
// A token's text for a message: on one line, cut short when long.
std::string token_text(const ScriptView& view, size_t token);
// A token's text quoted for a message: 'else', '+', "the end of the file".
std::string quoted_token(const ScriptView& view, size_t token);

// Warnings for what the lexer and the parser passed over (front_end_messages.cpp).
void add_front_end_warnings(const ScriptView& view, std::vector<Warning>& out);
// Warnings for code that runs but surprises (script_checks.cpp).
void add_script_warnings(const ScriptView& view, const CheckOptions& options,
                         std::vector<Warning>& out);
// Warnings for names read but bound neither in the script nor in the module files it
// imports (unbound_names.cpp).
void add_unbound_name_warnings(const ScriptView& view, const ScriptBindings& script,
                               const std::vector<const ScriptBindings*>& imported,
                               std::vector<Warning>& out);

}  // namespace vormel
