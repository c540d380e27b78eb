// The tokens say where each name is and, with their neighbours, what it does; the tree adds
// what the tokens cannot tell: which braces are dictionary literals, where each def and each
// top-level statement begins, and which modules a use statement makes callable.
#include "lsp/name_index.hpp"

#include <algorithm>
#include <unordered_set>

#include "checker/library_names.hpp"
#include "lsp/bracket_stack.hpp"
#include "parser/script_view.hpp"
#include "parser/syntax_walk.hpp"

namespace vormel {

bool NameOccurrence::is_script_name() const {
  return role == NameRole::Use || role == NameRole::Binding || role == NameRole::Parameter ||
         role == NameRole::FunctionName || role == NameRole::Import;
}

namespace {

constexpr size_t kNone = BracketStack::kNone;

// Eof past either end, so that neighbours can be asked for without bounds checks.
TokenKind kind_at(const ScriptView& view, size_t index) {
  return index < view.tokens.size() ? view.tokens[index].kind : TokenKind::Eof;
}

size_t start_of(const ScriptView& view, size_t token) {
  return view.trace.token_starts[token].offset;
}
size_t end_of(const ScriptView& view, size_t token) { return view.trace.token_ends[token].offset; }

// The last token before the end of the input (0 for an empty one).
size_t last_token(const ScriptView& view) {
  return view.tokens.size() >= 2 ? view.tokens.size() - 2 : 0;
}

struct TreeFacts {
  std::unordered_set<size_t> dict_braces;  // the "{" of every dictionary literal
  std::vector<const FunctionStmt*> defs;   // at any depth
  std::map<std::string, std::string> modules;
};

TreeFacts read_tree(const ScriptView& view) {
  TreeFacts facts;
  for (const std::string& module : builtin_module_names()) facts.modules[module] = module;
  SyntaxVisitor visitor;
  visitor.on_expression = [&](const Expr& expr) {
    if (expr.kind == ExprKind::Dict) facts.dict_braces.insert(view.token_of(expr));
  };
  visitor.on_statement = [&](const Stmt& stmt) {
    if (stmt.kind == StmtKind::Function) {
      facts.defs.push_back(static_cast<const FunctionStmt*>(&stmt));
    } else if (stmt.kind == StmtKind::Use) {
      const auto& use = static_cast<const UseStmt&>(stmt);
      if (!use.items) facts.modules[use.alias ? *use.alias : use.module] = use.module;
    }
  };
  walk(view.program, visitor);
  return facts;
}

// One pass over the tokens that records every name with what it does there, told by its
// neighbours and by the brackets it stands in; it also pairs each opening bracket with its
// closer, for the outline's function ranges.
struct Scanner {
  const ScriptView& view;
  const TreeFacts& facts;
  NameIndex& index;
  std::vector<size_t> closer_of;  // by opener token
  BracketStack brackets;
  bool in_params = false;
  std::string items_module;  // inside the braces of use m { ... }
  size_t last_qualifier = kNone;

  void scan() {
    closer_of.assign(view.tokens.size(), kNone);
    for (size_t i = 0; i < view.tokens.size(); ++i) {
      TokenKind kind = view.tokens[i].kind;
      if (size_t opener = brackets.step(kind, i); opener != kNone) closer_of[opener] = i;
      const bool list_item = kind == TokenKind::Identifier || kind == TokenKind::Comma;
      if (!list_item) {
        in_params = false;
        items_module.clear();
      }
      if (kind == TokenKind::LParen && kind_at(view, i - 1) == TokenKind::Identifier &&
          kind_at(view, i - 2) == TokenKind::Def)
        in_params = true;
      if (kind == TokenKind::LBrace && kind_at(view, i - 1) == TokenKind::Identifier &&
          kind_at(view, i - 2) == TokenKind::Use)
        items_module = view.tokens[i - 1].text;
      if (kind == TokenKind::Identifier) classify(i);
    }
  }

  bool in_dict_literal() const {
    return !brackets.empty() && brackets.innermost().kind == TokenKind::LBrace &&
           facts.dict_braces.contains(brackets.innermost().token);
  }

  // Members after a dot and dictionary keys are passed over: they are strings, not names.
  void classify(size_t i) {
    const std::string& name = view.tokens[i].text;
    TokenKind prev = kind_at(view, i - 1);
    TokenKind next = kind_at(view, i + 1);
    NameOccurrence occurrence{name, NameRole::Use, start_of(view, i), end_of(view, i), ""};
    if (prev == TokenKind::Dot && kind_at(view, i - 2) != TokenKind::Dot) {
      // A member; only the function of a module qualifier is a name of its own. (A member
      // second in the file has no token two before it: i - 2 would wrap to kNone.)
      if (i < 2 || last_qualifier != i - 2) return;
      occurrence.role = NameRole::ModuleFunction;
      occurrence.module = index.names.back().module;
    } else if (in_params) {
      occurrence.role = NameRole::Parameter;
    } else if (!items_module.empty()) {
      occurrence.role = NameRole::Import;
      occurrence.module = items_module;
    } else if (next == TokenKind::Colon && in_dict_literal()) {
      return;  // a dictionary key is a string
    } else if (prev == TokenKind::Def) {
      occurrence.role = NameRole::FunctionName;
    } else if (prev == TokenKind::Let || prev == TokenKind::For || prev == TokenKind::Catch) {
      occurrence.role = NameRole::Binding;
    } else if (prev == TokenKind::Use) {
      occurrence.role = NameRole::Module;
      occurrence.module = name;
    } else if (prev == TokenKind::As && kind_at(view, i - 2) == TokenKind::Identifier &&
               kind_at(view, i - 3) == TokenKind::Use) {
      occurrence.role = NameRole::Module;
      occurrence.module = view.tokens[i - 2].text;
    } else if (auto module = facts.modules.find(name);
               module != facts.modules.end() && next == TokenKind::Dot &&
               kind_at(view, i + 2) == TokenKind::Identifier &&
               kind_at(view, i + 3) == TokenKind::LParen) {
      occurrence.role = NameRole::ModuleQualifier;
      occurrence.module = module->second;
      last_qualifier = i;
    } else if (next == TokenKind::Assign) {
      occurrence.role = NameRole::Binding;
    }
    index.names.push_back(std::move(occurrence));
  }
};

// The parser kept each def whole: "def", the name, "(", parameters, ")", "{".
FunctionOutline outline_function(const ScriptView& view, const FunctionStmt& def, size_t first,
                                 const std::vector<size_t>& closer_of) {
  FunctionOutline outline{def.name, def.def->params, 0, 0, start_of(view, first), 0, {}};
  size_t name = std::min(first + 1, last_token(view));
  outline.name_start = start_of(view, name);
  outline.name_end = end_of(view, name);
  size_t brace = first + 3;
  while (kind_at(view, brace) == TokenKind::Identifier || kind_at(view, brace) == TokenKind::Comma)
    ++brace;
  ++brace;  // past ")"
  size_t last =
      brace < closer_of.size() && closer_of[brace] != kNone ? closer_of[brace] : last_token(view);
  outline.end = end_of(view, std::max(last, name));
  return outline;
}

// Defs nest as deep as the parser allows; deeper ones are listed at this depth, so that the
// outline (and the JSON made of it) stays shallow enough to walk recursively.
constexpr size_t kDeepestOutline = 64;

// Nests the functions (in source order) by where their bodies lie, without recursion.
std::vector<FunctionOutline> nest(std::vector<FunctionOutline> flat) {
  std::vector<size_t> parent(flat.size(), kNone);
  std::vector<size_t> enclosing;
  for (size_t i = 0; i < flat.size(); ++i) {
    while (!enclosing.empty() && flat[enclosing.back()].end < flat[i].start) enclosing.pop_back();
    if (!enclosing.empty())
      parent[i] = enclosing[std::min(enclosing.size(), kDeepestOutline - 1) - 1];
    enclosing.push_back(i);
  }
  std::vector<FunctionOutline> roots;
  // Children come after their parent, so each is complete when it is moved up.
  for (size_t i = flat.size(); i-- > 0;) {
    std::reverse(flat[i].nested.begin(), flat[i].nested.end());
    auto& siblings = parent[i] == kNone ? roots : flat[parent[i]].nested;
    siblings.push_back(std::move(flat[i]));
  }
  std::reverse(roots.begin(), roots.end());
  return roots;
}

std::vector<VariableOutline> outline_globals(const ScriptView& view) {
  std::vector<VariableOutline> globals;
  std::unordered_set<std::string> seen;
  const StmtList& program = view.program;
  for (size_t s = 0; s < program.size(); ++s) {
    const Stmt& stmt = *program[s];
    size_t first = view.token_of(stmt);
    if (first == ParseListener::kNoToken) continue;
    const std::string* name = nullptr;
    size_t name_token = first;
    if (stmt.kind == StmtKind::Let) {
      name = &static_cast<const LetStmt&>(stmt).name;
      name_token = first + 1;
    } else if (stmt.kind == StmtKind::Assign) {
      name = &static_cast<const AssignStmt&>(stmt).name;
    }
    if (!name || !seen.insert(*name).second || name_token > last_token(view)) continue;
    // The statement runs up to the next one's first token.
    size_t last = last_token(view);
    for (size_t n = s + 1; n < program.size(); ++n) {
      size_t next = view.token_of(*program[n]);
      if (next == ParseListener::kNoToken) continue;
      if (next > first) last = next - 1;
      break;
    }
    globals.push_back(VariableOutline{*name, start_of(view, name_token), end_of(view, name_token),
                                      start_of(view, first),
                                      end_of(view, std::max(last, name_token))});
  }
  return globals;
}

}  // namespace

NameIndex index_names(std::string_view text) {
  ScriptView view = read_script_view(text);
  TreeFacts facts = read_tree(view);
  NameIndex index;
  index.modules = facts.modules;
  Scanner scanner{view, facts, index, {}, {}, false, {}, kNone};
  scanner.scan();

  std::vector<FunctionOutline> flat;
  for (const FunctionStmt* def : facts.defs) {
    size_t first = view.token_of(*def);
    if (first == ParseListener::kNoToken || first + 1 > last_token(view)) continue;
    flat.push_back(outline_function(view, *def, first, scanner.closer_of));
  }
  std::stable_sort(flat.begin(), flat.end(),
                   [](const auto& a, const auto& b) { return a.start < b.start; });
  index.functions = nest(std::move(flat));
  index.globals = outline_globals(view);
  return index;
}

const NameOccurrence* NameIndex::at(size_t offset) const {
  for (const NameOccurrence& occurrence : names)
    if (occurrence.start <= offset && offset <= occurrence.end) return &occurrence;
  return nullptr;
}

const NameOccurrence* NameIndex::definition_of(std::string_view name) const {
  const NameOccurrence* first_binding = nullptr;
  for (const NameOccurrence& occurrence : names) {
    if (occurrence.name != name) continue;
    if (occurrence.role == NameRole::FunctionName) return &occurrence;
    if (!first_binding &&
        (occurrence.role == NameRole::Binding || occurrence.role == NameRole::Parameter ||
         occurrence.role == NameRole::Import))
      first_binding = &occurrence;
  }
  return first_binding;
}

const FunctionOutline* NameIndex::function(std::string_view name) const {
  // Depth first in source order, with an explicit stack.
  std::vector<const FunctionOutline*> pending;
  for (auto it = functions.rbegin(); it != functions.rend(); ++it) pending.push_back(&*it);
  while (!pending.empty()) {
    const FunctionOutline* f = pending.back();
    pending.pop_back();
    if (f->name == name) return f;
    for (auto it = f->nested.rbegin(); it != f->nested.rend(); ++it) pending.push_back(&*it);
  }
  return nullptr;
}

std::vector<const NameOccurrence*> NameIndex::same_target(const NameOccurrence& target) const {
  auto module_name = [](const NameOccurrence& o) {
    return o.role == NameRole::Module || o.role == NameRole::ModuleQualifier;
  };
  std::vector<const NameOccurrence*> found;
  for (const NameOccurrence& o : names) {
    if (o.name != target.name) continue;
    bool same = target.is_script_name() ? o.is_script_name()
                : module_name(target)
                    ? module_name(o)
                    : o.role == NameRole::ModuleFunction && o.module == target.module;
    if (same) found.push_back(&o);
  }
  return found;
}

}  // namespace vormel
