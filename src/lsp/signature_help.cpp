// The call is found from the tokens before the cursor, so that strings, comments and
// brackets nested inside the arguments are passed over the way the lexer and parser see
// them; the argument the cursor is in is the number of commas at the call's own depth.
#include "lsp/signature_help.hpp"

#include <optional>
#include <unordered_map>
#include <vector>

#include "checker/library_names.hpp"
#include "lsp/bracket_stack.hpp"
#include "lsp/module_files.hpp"
#include "lsp/name_index.hpp"
#include "lsp/text_positions.hpp"
#include "parser/script_view.hpp"

namespace vormel {

using nlohmann::json;

namespace {

struct OpenCall {
  size_t paren;   // the "(" token
  size_t commas;  // at the call's own depth, before the cursor
};

TokenKind kind_at(const ScriptView& view, size_t index) {
  return index < view.tokens.size() ? view.tokens[index].kind : TokenKind::Eof;
}

// The innermost call whose "(" is open at `offset`: a "(" right after a name that no def
// stands before (a parameter list is no call).
std::optional<OpenCall> open_call_at(const ScriptView& view, size_t offset) {
  BracketStack brackets;
  std::unordered_map<size_t, size_t> commas;  // by opener token
  for (size_t i = 0; i + 1 < view.tokens.size(); ++i) {
    if (view.trace.token_starts[i].offset >= offset) break;
    TokenKind kind = view.tokens[i].kind;
    brackets.step(kind, i);
    if (kind == TokenKind::Comma && !brackets.empty()) ++commas[brackets.innermost().token];
  }
  const auto& open = brackets.open();
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    if (it->kind != TokenKind::LParen) continue;
    if (kind_at(view, it->token - 1) != TokenKind::Identifier ||
        kind_at(view, it->token - 2) == TokenKind::Def)
      continue;
    return OpenCall{it->token, commas[it->token]};
  }
  return std::nullopt;
}

struct Signature {
  std::string label;  // as a call is written: "area(w, h)"
  std::string documentation;
};

// The parameters between the label's parentheses, as [start, end) UTF-16 offsets.
json parameter_offsets(const std::string& label) {
  json parameters = json::array();
  size_t open = label.find('(');
  size_t close = label.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close <= open + 1)
    return parameters;
  for (size_t start = open + 1; start < close;) {
    while (start < close && label[start] == ' ') ++start;
    size_t end = label.find(',', start);
    if (end == std::string::npos || end > close) end = close;
    size_t from = to_lsp_position(label, start).character;
    size_t to = to_lsp_position(label, end).character;
    parameters.push_back({{"label", {from, to}}});
    start = end + 1;
  }
  return parameters;
}

std::string written_call(const std::string& name, const std::vector<std::string>& params) {
  std::string text = name + "(";
  for (size_t i = 0; i < params.size(); ++i) text += (i ? ", " : "") + params[i];
  return text + ")";
}

// A plain call's function: a built-in always wins over the script's own function, and that
// over a library function imported by item.
std::optional<Signature> plain_signature(const std::string& uri, const NameIndex& index,
                                         const std::string& name) {
  if (auto entry = describe_library_function(name))
    return Signature{entry->signature, std::string(entry->summary)};
  if (const FunctionOutline* f = index.function(name))
    return Signature{written_call(f->name, f->params), ""};
  const NameOccurrence* binding = index.definition_of(name);
  if (binding == nullptr || binding->role != NameRole::Import ||
      !is_library_module(binding->module) || !module_table_beside(uri, binding->module))
    return std::nullopt;
  auto entry = describe_library_function(binding->module + "." + name);
  if (!entry) return std::nullopt;
  // Called by its own name: "sin(x)", not "math.sin(x)".
  return Signature{entry->signature.substr(binding->module.size() + 1),
                   std::string(entry->summary)};
}

std::optional<Signature> module_signature(const std::string& uri, const std::string& written,
                                          const std::string& module, const std::string& name) {
  if (module_table_beside(uri, module)) {
    auto entry = describe_library_function(module + "." + name);
    if (!entry) return std::nullopt;
    // Through an alias the call is written with the alias.
    std::string label = written + entry->signature.substr(module.size());
    return Signature{label, std::string(entry->summary)};
  }
  std::optional<std::string> text = read_module_beside(uri, module);
  if (!text) return std::nullopt;
  NameIndex module_index = index_names(*text);
  const FunctionOutline* f = module_index.function(name);
  if (!f) return std::nullopt;
  return Signature{written_call(written + "." + f->name, f->params),
                   "Defined in " + module + ".vl."};
}

}  // namespace

json signature_help(const std::string& uri, std::string_view text, size_t offset) {
  ScriptView view = read_script_view(text);
  std::optional<OpenCall> call = open_call_at(view, offset);
  if (!call) return nullptr;
  NameIndex index = index_names(text);
  size_t name = call->paren - 1;
  const std::string& function = view.tokens[name].text;
  size_t argument = call->commas;
  std::optional<Signature> signature;
  bool dotted =
      kind_at(view, name - 1) == TokenKind::Dot && kind_at(view, name - 2) != TokenKind::Dot;
  if (dotted && kind_at(view, name - 2) == TokenKind::Identifier &&
      kind_at(view, name - 3) != TokenKind::Dot) {
    // m.f(...): a module's function, when m names a module.
    const std::string& qualifier = view.tokens[name - 2].text;
    auto module = index.modules.find(qualifier);
    if (module == index.modules.end()) return nullptr;
    signature = module_signature(uri, qualifier, module->second, function);
  } else {
    signature = plain_signature(uri, index, function);
    if (dotted) ++argument;  // a method-style call passes its receiver first
  }
  if (!signature) return nullptr;

  json parameters = parameter_offsets(signature->label);
  // A last parameter written "values..." takes every further argument.
  if (!parameters.empty() && argument >= parameters.size() &&
      signature->label.find("...)") != std::string::npos)
    argument = parameters.size() - 1;
  json information = {{"label", signature->label}, {"parameters", parameters}};
  if (!signature->documentation.empty()) information["documentation"] = signature->documentation;
  return {{"signatures", json::array({information})},
          {"activeSignature", 0},
          {"activeParameter", argument}};
}

}  // namespace vormel
