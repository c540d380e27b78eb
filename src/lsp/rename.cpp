// A rename must leave the script meaning what it meant: the new name is one identifier, and
// it is no keyword, no built-in (which would win over it), and no name the file already uses
// (names are matched across the whole file, so two would become one).
#include "lsp/rename.hpp"

#include "checker/library_names.hpp"
#include "lexer/lexer.hpp"
#include "lsp/name_index.hpp"
#include "lsp/protocol_json.hpp"
#include "lsp/text_positions.hpp"

namespace vormel {

using nlohmann::json;

namespace {

std::string in_quotes(std::string_view name) { return "'" + std::string(name) + "'"; }

// The name at `offset`, or a RequestRefused saying why it cannot be renamed.
const NameOccurrence& renamable_name(const NameIndex& index, std::string_view text, size_t offset) {
  const NameOccurrence* occurrence = index.at(offset);
  if (!occurrence) {
    NameSpan span = name_at(text, offset);
    std::string_view word = text.substr(span.start, span.end - span.start);
    if (!span.empty() && keyword_kind(word))
      throw RequestRefused(in_quotes(word) + " is a keyword and cannot be renamed.");
    throw RequestRefused("There is no function or variable name here to rename.");
  }
  const std::string& name = occurrence->name;
  switch (occurrence->role) {
    case NameRole::Module:
    case NameRole::ModuleQualifier:
      throw RequestRefused(in_quotes(name) +
                           " is a module name; it is the module's file name and cannot be "
                           "renamed here.");
    case NameRole::ModuleFunction:
      throw RequestRefused(in_quotes(name) + " is defined in module " +
                           in_quotes(occurrence->module) + "; rename it there.");
    default: break;
  }
  if (is_builtin_function(name))
    throw RequestRefused(in_quotes(name) + " is a built-in function and cannot be renamed.");
  for (const NameOccurrence* same : index.same_target(*occurrence))
    if (same->role == NameRole::Import)
      throw RequestRefused(in_quotes(name) + " is imported from module " + in_quotes(same->module) +
                           "; rename it there.");
  return *occurrence;
}

void check_new_name(const NameIndex& index, const std::string& old_name,
                    const std::string& new_name) {
  if (keyword_kind(new_name))
    throw RequestRefused(in_quotes(new_name) + " is a keyword and cannot name a variable.");
  // One name token and nothing else: the lexer decides what a name is.
  TokenList tokens = tokenize(new_name);
  if (tokens.size() != 2 || tokens[0].kind != TokenKind::Identifier || tokens[0].text != new_name)
    throw RequestRefused(in_quotes(new_name) +
                         " is not a name: a name begins with a letter or '_' and goes on with "
                         "letters, digits and '_'.");
  if (is_builtin_function(new_name))
    throw RequestRefused(in_quotes(new_name) +
                         " is a built-in function; calls of the renamed function would reach "
                         "the built-in.");
  if (new_name == old_name) return;
  if (index.modules.contains(new_name))
    throw RequestRefused(in_quotes(new_name) + " names a module in this file.");
  for (const NameOccurrence& occurrence : index.names)
    if (occurrence.name == new_name && occurrence.is_script_name())
      throw RequestRefused(in_quotes(new_name) +
                           " is already used in this file; the two names would become one.");
}

}  // namespace

json prepare_rename(std::string_view text, size_t offset) {
  NameIndex index = index_names(text);
  const NameOccurrence& occurrence = renamable_name(index, text, offset);
  return {{"range", range_json(text, occurrence.start, occurrence.end)},
          {"placeholder", occurrence.name}};
}

json rename_name(const std::string& uri, std::string_view text, size_t offset,
                 const std::string& new_name) {
  NameIndex index = index_names(text);
  const NameOccurrence& occurrence = renamable_name(index, text, offset);
  check_new_name(index, occurrence.name, new_name);
  json edits = json::array();
  for (const NameOccurrence* found : index.same_target(occurrence))
    edits.push_back({{"range", range_json(text, found->start, found->end)}, {"newText", new_name}});
  return {{"changes", {{uri, edits}}}};
}

}  // namespace vormel
