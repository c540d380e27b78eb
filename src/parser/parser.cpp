// Recursive descent over the token list. Nothing is reported: forms that break off are
// dropped, missing closers are passed over. Wherever a loop would make no progress (a token
// that can start nothing), that token is passed over, so every input parses to an end.
#include "parser/parser.hpp"

#include "support/stack_guard.hpp"

namespace vormel {
namespace {

class Parser {
 public:
  Parser(const TokenList& tokens, ParseListener* listener) : tokens_(tokens), listener_(listener) {}

  StmtList program() {
    StmtList stmts;
    while (current().kind != TokenKind::Eof) statement_into(stmts);
    return stmts;
  }

 private:
  const Token& at(size_t offset) const {
    static const Token kEof(TokenKind::Eof);
    size_t p = position_ + offset;
    return p < tokens_.size() ? tokens_[p] : kEof;
  }
  const Token& current() const { return at(0); }
  bool is(TokenKind kind) const { return current().kind == kind; }
  void advance() { ++position_; }
  bool expect(TokenKind kind) {
    if (!is(kind)) return false;
    advance();
    return true;
  }
  void optional_semicolon() { expect(TokenKind::Semicolon); }

  // Listener notes; nothing happens without a listener.
  void note(ParseIssue issue, size_t token, size_t related = ParseListener::kNoToken) {
    if (listener_ != nullptr) listener_->recovered(issue, token, related);
  }
  // Drops the statement being built (returns null) and tells why.
  StmtPtr drop(ParseIssue issue) {
    note(issue, position_);
    return nullptr;
  }
  // expect() for a closer that is passed over when missing.
  void close(TokenKind closer, ParseIssue issue, size_t opener) {
    if (!expect(closer)) note(issue, position_, opener);
  }
  ExprPtr noted(ExprPtr expr, size_t token) {
    if (listener_ != nullptr) listener_->expression_parsed(*expr, token);
    return expr;
  }

  // Parses one statement into `out`; passes over a token that begins nothing.
  // Statements nested too deep for the native stack are passed over token by token.
  void statement_into(StmtList& out) {
    size_t before = position_;
    bool too_deep = stack_nearly_exhausted();
    if (too_deep) note(ParseIssue::NestingTooDeep, position_);
    StmtPtr stmt = too_deep ? nullptr : statement();
    if (position_ == before) {
      if (!too_deep) note(ParseIssue::SkippedStatement, position_);
      advance();
      return;
    }
    if (stmt && listener_ != nullptr) listener_->statement_parsed(*stmt, before);
    if (stmt) out.push_back(std::move(stmt));
  }

  StmtList block() {
    StmtList stmts;
    while (!is(TokenKind::RBrace) && !is(TokenKind::Eof)) statement_into(stmts);
    return stmts;
  }

  bool take_identifier(std::string& name) {
    if (!is(TokenKind::Identifier)) return false;
    name = current().text;
    advance();
    return true;
  }

  StmtPtr statement() {
    switch (current().kind) {
      case TokenKind::Let: {
        advance();
        std::string name;
        if (!take_identifier(name)) return drop(ParseIssue::LetNameMissing);
        if (!expect(TokenKind::Assign)) return drop(ParseIssue::LetAssignMissing);
        ExprPtr value = expression();
        optional_semicolon();
        return std::make_unique<LetStmt>(std::move(name), std::move(value));
      }
      case TokenKind::Def: {
        advance();
        std::string name;
        if (!take_identifier(name)) return drop(ParseIssue::DefNameMissing);
        size_t open = position_;
        if (!expect(TokenKind::LParen)) return drop(ParseIssue::DefParenMissing);
        auto def = std::make_shared<FunctionDef>();
        while (is(TokenKind::Identifier)) {
          def->params.push_back(current().text);
          advance();
          expect(TokenKind::Comma);
        }
        if (!expect(TokenKind::RParen)) {
          note(ParseIssue::DefParamsUnclosed, position_, open);
          return nullptr;
        }
        open = position_;
        if (!expect(TokenKind::LBrace)) return drop(ParseIssue::DefBodyMissing);
        def->body = block();
        close(TokenKind::RBrace, ParseIssue::BlockUnclosed, open);
        return std::make_unique<FunctionStmt>(std::move(name), std::move(def));
      }
      case TokenKind::Return: {
        advance();
        ExprPtr value;
        if (!is(TokenKind::RBrace) && !is(TokenKind::Semicolon) && !is(TokenKind::Eof))
          value = expression();
        optional_semicolon();
        return std::make_unique<ReturnStmt>(std::move(value));
      }
      case TokenKind::If: {
        advance();
        ExprPtr condition = expression();
        size_t open = position_;
        if (!expect(TokenKind::LBrace)) return drop(ParseIssue::IfBodyMissing);
        StmtList then_body = block();
        close(TokenKind::RBrace, ParseIssue::BlockUnclosed, open);
        std::optional<StmtList> else_body;
        if (expect(TokenKind::Else)) {
          open = position_;
          if (expect(TokenKind::LBrace)) {
            else_body = block();
            close(TokenKind::RBrace, ParseIssue::BlockUnclosed, open);
          } else {
            note(ParseIssue::ElseBodyMissing, position_);
          }
        }
        return std::make_unique<IfStmt>(std::move(condition), std::move(then_body),
                                        std::move(else_body));
      }
      case TokenKind::While: {
        advance();
        ExprPtr condition = expression();
        size_t open = position_;
        if (!expect(TokenKind::LBrace)) return drop(ParseIssue::WhileBodyMissing);
        StmtList body = block();
        close(TokenKind::RBrace, ParseIssue::BlockUnclosed, open);
        return std::make_unique<WhileStmt>(std::move(condition), std::move(body));
      }
      case TokenKind::For: {
        advance();
        std::string var;
        if (!take_identifier(var)) return drop(ParseIssue::ForVarMissing);
        if (!expect(TokenKind::In)) return drop(ParseIssue::ForInMissing);
        ExprPtr iter = expression();
        size_t open = position_;
        if (!expect(TokenKind::LBrace)) return drop(ParseIssue::ForBodyMissing);
        StmtList body = block();
        close(TokenKind::RBrace, ParseIssue::BlockUnclosed, open);
        return std::make_unique<ForStmt>(std::move(var), std::move(iter), std::move(body));
      }
      case TokenKind::Break:
        advance();
        optional_semicolon();
        return std::make_unique<BreakStmt>();
      case TokenKind::Continue:
        advance();
        optional_semicolon();
        return std::make_unique<ContinueStmt>();
      case TokenKind::Match: return match_statement();
      case TokenKind::Try: {
        advance();
        size_t open = position_;
        if (!expect(TokenKind::LBrace)) return drop(ParseIssue::TryBodyMissing);
        StmtList body = block();
        close(TokenKind::RBrace, ParseIssue::BlockUnclosed, open);
        std::string var;
        if (!expect(TokenKind::Catch)) return drop(ParseIssue::CatchMissing);
        if (!take_identifier(var)) return drop(ParseIssue::CatchVarMissing);
        open = position_;
        if (!expect(TokenKind::LBrace)) return drop(ParseIssue::CatchBodyMissing);
        StmtList catch_body = block();
        close(TokenKind::RBrace, ParseIssue::BlockUnclosed, open);
        return std::make_unique<TryStmt>(std::move(body), std::move(var), std::move(catch_body));
      }
      case TokenKind::Global: {
        advance();
        std::string name;
        if (!take_identifier(name)) return drop(ParseIssue::GlobalNameMissing);
        optional_semicolon();
        return std::make_unique<GlobalStmt>(std::move(name));
      }
      case TokenKind::Use: return use_statement();
      case TokenKind::Identifier: {
        TokenKind next = at(1).kind;
        if (next == TokenKind::Assign) {
          std::string name = current().text;
          advance();
          advance();
          ExprPtr value = expression();
          optional_semicolon();
          return std::make_unique<AssignStmt>(std::move(name), std::move(value));
        }
        if (next == TokenKind::PlusAssign || next == TokenKind::MinusAssign ||
            next == TokenKind::StarAssign || next == TokenKind::SlashAssign) {
          std::string name = current().text;
          Token op = at(1);
          advance();
          advance();
          ExprPtr value = expression();
          optional_semicolon();
          return std::make_unique<CompoundAssignStmt>(std::move(name), std::move(op),
                                                      std::move(value));
        }
        break;
      }
      default: break;
    }
    ExprPtr expr = expression();
    optional_semicolon();
    return std::make_unique<ExprStmt>(std::move(expr));
  }

  StmtPtr match_statement() {
    advance();
    ExprPtr subject = expression();
    size_t open = position_;
    if (!expect(TokenKind::LBrace)) return drop(ParseIssue::MatchBodyMissing);
    std::vector<MatchArm> arms;
    while (!is(TokenKind::RBrace) && !is(TokenKind::Eof)) {
      size_t before = position_;
      MatchArm arm;
      if (is(TokenKind::Identifier) && current().text == "_") {
        advance();
        arm.pattern.kind = PatternKind::Wildcard;
      } else {
        arm.pattern.kind = PatternKind::Value;
        arm.pattern.value = expression();
      }
      if (!expect(TokenKind::FatArrow)) {
        if (position_ == before) {
          note(ParseIssue::SkippedPattern, position_);
          advance();  // a pattern that consumed nothing
        } else {
          note(ParseIssue::MatchArrowMissing, position_, before);
        }
        continue;
      }
      size_t arm_open = position_;
      if (expect(TokenKind::LBrace)) {
        arm.body = block();
        close(TokenKind::RBrace, ParseIssue::BlockUnclosed, arm_open);
      } else {
        arm.body.push_back(std::make_unique<ExprStmt>(expression()));
      }
      optional_semicolon();
      arms.push_back(std::move(arm));
    }
    close(TokenKind::RBrace, ParseIssue::BlockUnclosed, open);
    return std::make_unique<MatchStmt>(std::move(subject), std::move(arms));
  }

  StmtPtr use_statement() {
    advance();
    std::string module;
    if (!take_identifier(module)) return drop(ParseIssue::UseNameMissing);
    size_t open = position_;
    std::optional<std::string> alias;
    std::optional<std::vector<std::string>> items;
    if (expect(TokenKind::LBrace)) {
      items.emplace();
      while (!is(TokenKind::RBrace) && !is(TokenKind::Eof)) {
        if (is(TokenKind::Identifier)) {
          items->push_back(current().text);
          advance();
          expect(TokenKind::Comma);
        } else {
          note(ParseIssue::SkippedUseItem, position_);
          advance();  // not a name: passed over
        }
      }
      close(TokenKind::RBrace, ParseIssue::BraceUnclosed, open);
      optional_semicolon();
    } else if (expect(TokenKind::Semicolon)) {
    } else if (expect(TokenKind::As)) {
      std::string name;
      if (take_identifier(name)) alias = std::move(name);
      optional_semicolon();
    }
    return std::make_unique<UseStmt>(std::move(module), std::move(alias), std::move(items));
  }

  // ---- Expressions, lowest precedence first ----

  template <typename Next>
  ExprPtr binary_level(Next next, std::initializer_list<TokenKind> ops) {
    ExprPtr left = (this->*next)();
    for (;;) {
      bool matched = false;
      for (TokenKind op : ops) matched = matched || is(op);
      if (!matched) return left;
      Token op = current();
      size_t op_token = position_;
      advance();
      ExprPtr right = (this->*next)();
      auto node = std::make_unique<BinaryOpExpr>(std::move(left), std::move(op), std::move(right));
      left = noted(std::move(node), op_token);
    }
  }

  ExprPtr expression() { return binary_level(&Parser::and_level, {TokenKind::Or}); }
  ExprPtr and_level() { return binary_level(&Parser::equality, {TokenKind::And}); }
  ExprPtr equality() {
    return binary_level(&Parser::comparison, {TokenKind::Equal, TokenKind::NotEqual});
  }
  ExprPtr comparison() {
    return binary_level(&Parser::range, {TokenKind::Less, TokenKind::Greater, TokenKind::LessEqual,
                                         TokenKind::GreaterEqual});
  }
  ExprPtr range() {
    ExprPtr start = additive();
    if (is(TokenKind::Dot) && at(1).kind == TokenKind::Dot) {
      size_t dots = position_;
      advance();
      advance();
      ExprPtr end = additive();
      return noted(std::make_unique<RangeExpr>(std::move(start), std::move(end)), dots);
    }
    return start;
  }
  ExprPtr additive() {
    return binary_level(&Parser::multiplicative, {TokenKind::Plus, TokenKind::Minus});
  }
  ExprPtr multiplicative() {
    return binary_level(&Parser::power, {TokenKind::Star, TokenKind::Slash, TokenKind::Percent});
  }
  ExprPtr power() { return binary_level(&Parser::unary, {TokenKind::Power}); }

  ExprPtr unary() {
    // Nesting too deep for the native stack ends here as the number 0, like any token
    // that cannot begin an expression.
    if (stack_nearly_exhausted()) {
      note(ParseIssue::NestingTooDeep, position_);
      return std::make_unique<NumberExpr>(0);
    }
    if (is(TokenKind::Not) || is(TokenKind::Minus)) {
      Token op = current();
      size_t op_token = position_;
      advance();
      return noted(std::make_unique<UnaryOpExpr>(std::move(op), unary()), op_token);
    }
    return postfix();
  }

  ExprList expression_list() {
    ExprList list;
    while (!is(TokenKind::RParen) && !is(TokenKind::RBrace) && !is(TokenKind::RBracket) &&
           !is(TokenKind::Eof)) {
      size_t before = position_;
      ExprPtr element = expression();
      if (position_ == before && !is(TokenKind::Comma)) {
        note(ParseIssue::SkippedListItem, position_);
        advance();  // a token that begins nothing, such as ":", is passed over
        continue;
      }
      list.push_back(std::move(element));
      expect(TokenKind::Comma);
    }
    return list;
  }

  ExprPtr postfix() {
    ExprPtr expr = primary();
    for (;;) {
      size_t open = position_;
      if (expect(TokenKind::LParen)) {
        ExprList args = expression_list();
        close(TokenKind::RParen, ParseIssue::ParenUnclosed, open);
        expr = noted(make_call(std::move(expr), std::move(args)), open);
      } else if (expect(TokenKind::LBracket)) {
        ExprPtr index = expression();
        close(TokenKind::RBracket, ParseIssue::BracketUnclosed, open);
        expr = noted(std::make_unique<IndexExpr>(std::move(expr), std::move(index)), open);
      } else if (is(TokenKind::Dot)) {
        if (at(1).kind == TokenKind::Identifier) {
          advance();
          auto member = std::make_unique<StringExpr>(current().text);
          advance();
          expr = noted(std::make_unique<IndexExpr>(std::move(expr), std::move(member)), open);
        } else if (at(1).kind == TokenKind::Dot) {
          return expr;
        } else {
          note(ParseIssue::StrayDot, position_);
          advance();  // a stray dot has no effect
        }
      } else {
        return expr;
      }
    }
  }

  // A call starts where its callee does.
  static ExprPtr make_call(ExprPtr callee, ExprList args) {
    const NodePlace place = callee->place;  // call_of() may move the callee into the arguments
    ExprPtr call = call_of(callee, std::move(args));
    call->place = place;
    return call;
  }
  static ExprPtr call_of(ExprPtr& callee, ExprList args) {
    if (callee->kind == ExprKind::Identifier) {
      return std::make_unique<CallExpr>(static_cast<IdentifierExpr&>(*callee).name,
                                        std::move(args));
    }
    if (callee->kind == ExprKind::Index) {
      auto& index = static_cast<IndexExpr&>(*callee);
      if (index.index->kind == ExprKind::String) {
        std::string member = static_cast<StringExpr&>(*index.index).value;
        if (index.object->kind == ExprKind::Identifier) {
          return std::make_unique<CallExpr>(
              static_cast<IdentifierExpr&>(*index.object).name + "." + member, std::move(args));
        }
        args.insert(args.begin(), std::move(index.object));
        return std::make_unique<CallExpr>(std::move(member), std::move(args));
      }
    }
    args.insert(args.begin(), std::move(callee));
    return std::make_unique<CallExpr>("call", std::move(args));
  }

  ExprPtr primary() {
    size_t start = position_;
    bool group = is(TokenKind::LParen);  // gives the inner node itself, already noted
    ExprPtr expr = primary_at_current();
    if (position_ == start) note(ParseIssue::ExpressionExpected, start);
    return group ? std::move(expr) : noted(std::move(expr), start);
  }

  ExprPtr primary_at_current() {
    const Token& token = current();
    switch (token.kind) {
      case TokenKind::True: advance(); return std::make_unique<BooleanExpr>(true);
      case TokenKind::False: advance(); return std::make_unique<BooleanExpr>(false);
      case TokenKind::Identifier: {
        auto expr = std::make_unique<IdentifierExpr>(token.text);
        advance();
        return expr;
      }
      case TokenKind::Number: advance(); return std::make_unique<NumberExpr>(token.integer);
      case TokenKind::Float: advance(); return std::make_unique<FloatExpr>(token.real);
      case TokenKind::String: {
        auto expr = std::make_unique<StringExpr>(token.text);
        advance();
        return expr;
      }
      case TokenKind::LParen: {
        size_t open = position_;
        advance();
        ExprPtr inner = expression();
        close(TokenKind::RParen, ParseIssue::ParenUnclosed, open);
        return inner;
      }
      case TokenKind::LBracket: {
        size_t open = position_;
        advance();
        ExprList elements = expression_list();
        close(TokenKind::RBracket, ParseIssue::BracketUnclosed, open);
        return std::make_unique<ArrayExpr>(std::move(elements));
      }
      case TokenKind::LBrace: return dict_literal();
      default: return std::make_unique<NumberExpr>(0);
    }
  }

  ExprPtr dict_literal() {
    size_t open = position_;
    advance();
    std::vector<DictEntryExpr> entries;
    while (!is(TokenKind::RBrace) && !is(TokenKind::Eof)) {
      if (!is(TokenKind::Identifier)) {
        note(ParseIssue::SkippedDictEntry, position_);
        advance();  // neither a key nor the end: passed over
        continue;
      }
      std::string key = current().text;
      advance();
      if (!expect(TokenKind::Colon)) {
        note(ParseIssue::DictColonMissing, position_, position_ - 1);
        continue;
      }
      entries.emplace_back(std::move(key), expression());
      expect(TokenKind::Comma);
    }
    close(TokenKind::RBrace, ParseIssue::BraceUnclosed, open);
    return std::make_unique<DictExpr>(std::move(entries));
  }

  const TokenList& tokens_;
  ParseListener* listener_;
  size_t position_ = 0;
};

}  // namespace

StmtList parse_program(const TokenList& tokens) { return Parser(tokens, nullptr).program(); }

StmtList parse_program(const TokenList& tokens, ParseListener* listener) {
  return Parser(tokens, listener).program();
}

}  // namespace vormel
