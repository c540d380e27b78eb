// Names read but bound nowhere. Scoping is dynamic (a function sees its callers' variables),
// so a name bound anywhere in the script, or in a module file it imports, may be bound when
// the read runs; only a name bound nowhere is sure to fail as an undefined variable.
#include <set>
#include <vector>

#include "checker/closest_name.hpp"
#include "checker/library_names.hpp"
#include "checker/warnings.hpp"
#include "lexer/token.hpp"
#include "parser/syntax_walk.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

bool is_assignment(TokenKind kind) {
  return kind == TokenKind::Assign || kind == TokenKind::PlusAssign ||
         kind == TokenKind::MinusAssign || kind == TokenKind::StarAssign ||
         kind == TokenKind::SlashAssign;
}

// Names that the tokens show being bound: after let, for, catch and def, before an
// assignment, and in a def's parameter list. A statement the parser could not use is missing
// from the tree, and what it meant to bind should not be reported as well.
std::set<std::string, std::less<>> names_bound_by_tokens(const ScriptView& view) {
  std::set<std::string, std::less<>> names;
  const TokenList& tokens = view.tokens;
  auto kind = [&tokens](size_t i) { return i < tokens.size() ? tokens[i].kind : TokenKind::Eof; };
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != TokenKind::Identifier) continue;
    TokenKind before = i > 0 ? kind(i - 1) : TokenKind::Eof;
    if (before == TokenKind::Let || before == TokenKind::For || before == TokenKind::Catch ||
        before == TokenKind::Def || is_assignment(kind(i + 1)))
      names.insert(tokens[i].text);
  }
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != TokenKind::Def) continue;
    size_t p = i + 1;
    if (kind(p) == TokenKind::Identifier) ++p;
    if (kind(p) != TokenKind::LParen) continue;
    for (++p; kind(p) == TokenKind::Identifier || kind(p) == TokenKind::Comma; ++p)
      if (kind(p) == TokenKind::Identifier) names.insert(tokens[p].text);
  }
  return names;
}

// Where each dropped character ends: a name right after one ('single', $price) is read only
// because of that character, which has a warning of its own.
std::set<size_t> ends_of_unknown_characters(const ScriptView& view) {
  std::set<size_t> ends;
  for (const LexNote& note : view.trace.notes) {
    if (note.kind != LexNoteKind::UnknownCharacter) continue;
    size_t end = note.at.offset;
    if (end < view.source.size()) decode_utf8(view.source, end);
    ends.insert(end);
  }
  return ends;
}

bool is_bound(std::string_view name, const ScriptBindings& script,
              const std::vector<const ScriptBindings*>& imported) {
  if (script.binds(name) || script.modules.count(name) || is_builtin_function(name)) return true;
  for (const ScriptBindings* module : imported)
    if (module->binds(name)) return true;
  return false;
}

// What a misspelt name may have meant, the script's own names first: a keyword too, since
// "retrun x" reads a variable named retrun.
std::vector<std::string> suggestions(const ScriptBindings& script,
                                     const std::vector<const ScriptBindings*>& imported) {
  std::vector<std::string> names = script.names_in_order;
  for (const ScriptBindings* module : imported)
    names.insert(names.end(), module->names_in_order.begin(), module->names_in_order.end());
  for (const auto& [name, import] : script.modules) names.push_back(name);
  for (std::string_view keyword : keywords()) names.emplace_back(keyword);
  return names;
}

}  // namespace

void add_unbound_name_warnings(const ScriptView& view, const ScriptBindings& script,
                               const std::vector<const ScriptBindings*>& imported,
                               std::vector<Warning>& out) {
  std::set<std::string, std::less<>> bound_by_tokens = names_bound_by_tokens(view);
  std::set<size_t> after_unknown = ends_of_unknown_characters(view);
  std::optional<NameSuggester> suggester;  // made for the first unbound name only
  SyntaxVisitor visitor;
  visitor.on_expression = [&](const Expr& e) {
    if (e.kind != ExprKind::Identifier) return;
    const std::string& name = static_cast<const IdentifierExpr&>(e).name;
    size_t token = view.token_of(e);
    if (token == ParseListener::kNoToken || is_bound(name, script, imported) ||
        bound_by_tokens.count(name) || after_unknown.count(view.trace.token_starts[token].offset))
      return;
    if (!suggester) suggester.emplace(suggestions(script, imported));
    std::string message = "'" + name + "' is never bound";
    if (std::optional<std::string> meant = suggester->suggest(name))
      message += "; did you mean '" + *meant + "'?";
    out.push_back(warning_at_token(view, token, std::move(message)));
  };
  walk(view.program, visitor);
}

}  // namespace vormel
