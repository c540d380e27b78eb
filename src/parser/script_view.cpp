// Runs the lexer with its position trace and the parser with a listener that keeps what it
// hears. A node's address may be reused after a dropped statement frees it; the later note
// then replaces the stale one, so every node still in the tree maps to its own token.
#include "parser/script_view.hpp"

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace vormel {
namespace {

class Recorder : public ParseListener {
 public:
  explicit Recorder(ScriptView& view) : view_(view) {}
  void recovered(ParseIssue issue, size_t token, size_t related) override {
    view_.recoveries.push_back(ParseRecovery{issue, token, related});
  }
  void statement_parsed(const Stmt& stmt, size_t first_token) override {
    view_.statement_tokens[&stmt] = first_token;
  }
  void expression_parsed(const Expr& expr, size_t token) override {
    view_.expression_tokens[&expr] = token;
  }

 private:
  ScriptView& view_;
};

}  // namespace

std::string_view ScriptView::spelling(size_t index) const {
  if (index >= tokens.size() || tokens[index].kind == TokenKind::Eof) return {};
  size_t start = trace.token_starts[index].offset;
  return source.substr(start, trace.token_ends[index].offset - start);
}

size_t ScriptView::token_of(const Expr& expr) const {
  auto it = expression_tokens.find(&expr);
  return it == expression_tokens.end() ? ParseListener::kNoToken : it->second;
}

size_t ScriptView::token_of(const Stmt& stmt) const {
  auto it = statement_tokens.find(&stmt);
  return it == statement_tokens.end() ? ParseListener::kNoToken : it->second;
}

ScriptView read_script_view(std::string_view source) {
  ScriptView view;
  view.source = source;
  view.tokens = tokenize(source, view.trace);
  Recorder recorder(view);
  view.program = parse_program(view.tokens, &recorder);
  return view;
}

}  // namespace vormel
