// What the lexer and the parser passed over, in words. One table gives each parser recovery
// its message; a few recoveries read the tokens around them to say what was probably meant.
#include <array>
#include <cstdio>
#include <optional>
#include <unordered_map>

#include "checker/warnings.hpp"
#include "parser/syntax_walk.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

// {token} is the token where the parser stopped, {previous} the one before it, {related}
// the key or opening bracket that the recovery names, {where} that token's line:column.
struct IssueText {
  ParseIssue issue;
  const char* text;
};

constexpr std::array kIssueTexts = {
    IssueText{ParseIssue::SkippedStatement, "unexpected {token}; it is passed over"},
    IssueText{ParseIssue::SkippedListItem, "unexpected {token} in the list; it is passed over"},
    IssueText{ParseIssue::SkippedDictEntry,
              "dictionary key expected, found {token}; keys are names: {name: value}"},
    IssueText{ParseIssue::SkippedUseItem, "name expected in the import list, found {token}"},
    IssueText{ParseIssue::SkippedPattern, "match pattern expected, found {token}"},
    IssueText{ParseIssue::StrayDot, "stray '.' has no effect"},
    IssueText{ParseIssue::ExpressionExpected, "expression expected after {previous}"},
    IssueText{ParseIssue::LetNameMissing, "name expected after 'let'"},
    IssueText{ParseIssue::LetAssignMissing, "'=' expected after 'let {previous_text}'"},
    IssueText{ParseIssue::DefNameMissing, "function name expected after 'def'"},
    IssueText{ParseIssue::DefParenMissing, "'(' expected after 'def {previous_text}'"},
    IssueText{ParseIssue::DefParamsUnclosed,
              "')' expected after the parameters, found {token}; parameters are plain names"},
    IssueText{ParseIssue::DefBodyMissing, "'{' expected after the parameter list, found {token}"},
    IssueText{ParseIssue::IfBodyMissing, "'{' expected after the if condition"},
    IssueText{ParseIssue::ElseBodyMissing, "'{' expected after 'else'"},
    IssueText{ParseIssue::WhileBodyMissing, "'{' expected after the while condition"},
    IssueText{ParseIssue::ForVarMissing, "loop variable expected after 'for'"},
    IssueText{ParseIssue::ForInMissing, "'in' expected after 'for {previous_text}'"},
    IssueText{ParseIssue::ForBodyMissing, "'{' expected after the for loop's range"},
    IssueText{ParseIssue::MatchBodyMissing, "'{' expected after the match subject"},
    IssueText{ParseIssue::MatchArrowMissing,
              "'=>' expected after the match pattern, found {token}; the arm is dropped"},
    IssueText{ParseIssue::TryBodyMissing, "'{' expected after 'try'"},
    IssueText{ParseIssue::CatchMissing, "'catch' expected after the try block"},
    IssueText{ParseIssue::CatchVarMissing, "name expected after 'catch'"},
    IssueText{ParseIssue::CatchBodyMissing, "'{' expected after 'catch {previous_text}'"},
    IssueText{ParseIssue::GlobalNameMissing, "name expected after 'global'"},
    IssueText{ParseIssue::UseNameMissing, "module name expected after 'use'"},
    IssueText{ParseIssue::DictColonMissing,
              "':' expected after the dictionary key {related}; the entry is dropped"},
    // Reported at the opening bracket.
    IssueText{ParseIssue::BlockUnclosed, "'{' is not closed: '}' expected before {token}{where}"},
    IssueText{ParseIssue::ParenUnclosed, "'(' is not closed: ')' expected before {token}{where}"},
    IssueText{ParseIssue::BracketUnclosed, "'[' is not closed: ']' expected before {token}{where}"},
    IssueText{ParseIssue::BraceUnclosed, "'{' is not closed: '}' expected before {token}{where}"},
    IssueText{ParseIssue::NestingTooDeep, "nesting too deep to check; the rest is passed over"},
};

// Messages that replace the table's when the tokens around a recovery show the likely cause.
constexpr const char* kElseIf = "'else' followed by 'if': write else { if ... }";
constexpr const char* kElementAssignment =
    "element assignment is not part of the language; use push or build a new array";
constexpr const char* kMemberAssignment =
    "member assignment is not part of the language; build a new dict instead";
constexpr const char* kQuotedKey = "dictionary keys are written without quotes: {name: value}";
constexpr const char* kColonBlock = "blocks are written in braces: '{' expected, found ':'";
constexpr const char* kStrayElse = "'else' without an if block before it";
constexpr const char* kStrayCloser = "{token} without an opening bracket before it";
constexpr const char* kDictStatement =
    "a '{' that begins a statement starts a dictionary literal, not a block; its contents "
    "are not run";

const char* issue_text(ParseIssue issue) {
  for (const IssueText& entry : kIssueTexts)
    if (entry.issue == issue) return entry.text;
  return "the parser passed over {token}";
}

bool is_kind(const ScriptView& view, size_t index, TokenKind kind) {
  return index < view.tokens.size() && view.tokens[index].kind == kind;
}

bool is_assignment_token(TokenKind kind) {
  return kind == TokenKind::Assign || kind == TokenKind::PlusAssign ||
         kind == TokenKind::MinusAssign || kind == TokenKind::StarAssign ||
         kind == TokenKind::SlashAssign;
}

// The message for a recovery when the context names a likelier cause, else nothing.
std::optional<std::string> specific_text(const ScriptView& view, const ParseRecovery& r) {
  TokenKind kind = view.tokens[r.token].kind;
  bool after_bracket = r.token > 0 && is_kind(view, r.token - 1, TokenKind::RBracket);
  bool after_member = r.token > 1 && is_kind(view, r.token - 1, TokenKind::Identifier) &&
                      is_kind(view, r.token - 2, TokenKind::Dot);
  switch (r.issue) {
    case ParseIssue::ElseBodyMissing:
      if (kind == TokenKind::If) return kElseIf;
      if (kind == TokenKind::Colon) return kColonBlock;
      break;
    case ParseIssue::SkippedStatement:
      if (is_assignment_token(kind) && after_bracket) return kElementAssignment;
      if (is_assignment_token(kind) && after_member) return kMemberAssignment;
      if (kind == TokenKind::Else) return kStrayElse;
      if (kind == TokenKind::RParen || kind == TokenKind::RBracket || kind == TokenKind::RBrace)
        return kStrayCloser;
      break;
    case ParseIssue::SkippedDictEntry:
      if (kind == TokenKind::String) return kQuotedKey;
      break;
    case ParseIssue::DefBodyMissing:
    case ParseIssue::IfBodyMissing:
    case ParseIssue::WhileBodyMissing:
    case ParseIssue::ForBodyMissing:
      if (kind == TokenKind::Colon) return kColonBlock;
      break;
    case ParseIssue::ExpressionExpected:
      if (r.token == 0) return "expression expected before {token}";
      break;
    default: break;
  }
  return std::nullopt;
}

std::string fill(const ScriptView& view, const ParseRecovery& r, std::string text) {
  auto replace = [&text](std::string_view key, const std::string& value) {
    for (size_t at = text.find(key); at != std::string::npos;
         at = text.find(key, at + value.size()))
      text.replace(at, key.size(), value);
  };
  replace("{token}", quoted_token(view, r.token));
  if (r.token > 0) {
    replace("{previous}", quoted_token(view, r.token - 1));
    replace("{previous_text}", token_text(view, r.token - 1));
  }
  if (r.related != ParseListener::kNoToken && r.related < view.tokens.size())
    replace("{related}", quoted_token(view, r.related));
  // Where the closer was expected, when that is not the end of the file.
  const SourcePosition& at = view.trace.token_starts[r.token];
  bool at_end = view.tokens[r.token].kind == TokenKind::Eof;
  replace("{where}",
          at_end ? ""
                 : " at line " + std::to_string(at.line) + ", column " + std::to_string(at.column));
  return text;
}

// Several recoveries can meet at one token (a let without a name, then the "=" that begins
// nothing): the one that names the construct wins over a passed-over token, which wins over
// a missing expression. Missing closers each name their own opener and are all kept.
int rank(ParseIssue issue) {
  switch (issue) {
    case ParseIssue::ExpressionExpected: return 2;
    case ParseIssue::SkippedStatement:
    case ParseIssue::SkippedListItem:
    case ParseIssue::SkippedDictEntry:
    case ParseIssue::SkippedUseItem:
    case ParseIssue::SkippedPattern: return 1;
    default: return 0;
  }
}
bool is_closer(ParseIssue issue) {
  return issue == ParseIssue::BlockUnclosed || issue == ParseIssue::ParenUnclosed ||
         issue == ParseIssue::BracketUnclosed || issue == ParseIssue::BraceUnclosed;
}

std::string character_text(char32_t c) {
  if (c < 0x20 || c == 0x7F || c == 0xFFFD) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return code;
  }
  std::string text = "'";
  append_utf8(text, c);
  return text + "'";
}

void add_lexer_warnings(const ScriptView& view, std::vector<Warning>& out) {
  size_t previous_unknown_end = std::string::npos;
  for (const LexNote& note : view.trace.notes) {
    switch (note.kind) {
      case LexNoteKind::UnknownCharacter: {
        // A run of the same character ("&&", "||") is one mistake.
        Warning warning =
            warning_at(view, note.at, "unknown character " + character_text(note.character));
        bool continues_run = previous_unknown_end == note.at.offset && !out.empty() &&
                             out.back().message == warning.message;
        previous_unknown_end = warning.end.offset;
        if (continues_run) {
          out.back().end = warning.end;
          continue;
        }
        if (note.character == '\'') warning.message += "; strings are written in double quotes";
        out.push_back(std::move(warning));
        break;
      }
      case LexNoteKind::UnterminatedString:
        out.push_back(warning_at(view, note.at, "unterminated string"));
        break;
      case LexNoteKind::UnterminatedComment:
        out.push_back(warning_at(view, note.at, "unterminated block comment"));
        break;
      case LexNoteKind::IntegerTooLarge:
        out.push_back(
            warning_at(view, note.at, "integer literal too large; it is read as a float"));
        break;
    }
  }
}

// The token that closes the bracket at `open`, counting nesting; the last token if none.
size_t matching_closer(const ScriptView& view, size_t open) {
  int depth = 0;
  for (size_t i = open; i < view.tokens.size(); ++i) {
    TokenKind kind = view.tokens[i].kind;
    if (kind == TokenKind::LParen || kind == TokenKind::LBracket || kind == TokenKind::LBrace)
      ++depth;
    if (kind == TokenKind::RParen || kind == TokenKind::RBracket || kind == TokenKind::RBrace)
      if (--depth == 0) return i;
  }
  return view.tokens.size() - 1;
}

// Token ranges whose recoveries only echo an earlier mistake: the inside of an expression
// bracket that is never closed (the rest of the file is read as its contents), and of a
// dictionary literal that stands where a block was meant.
using Span = std::pair<size_t, size_t>;  // exclusive bounds

std::vector<Span> echo_spans(const ScriptView& view, const std::vector<ParseRecovery>& kept,
                             std::vector<Warning>& out) {
  std::vector<Span> spans;
  for (const ParseRecovery& r : kept)
    if (is_closer(r.issue) && r.issue != ParseIssue::BlockUnclosed)
      spans.emplace_back(r.related, r.token);
  SyntaxVisitor visitor;
  visitor.on_statement = [&](const Stmt& stmt) {
    if (stmt.kind != StmtKind::Expr) return;
    const auto& expr = static_cast<const ExprStmt&>(stmt).expr;
    size_t first = view.token_of(stmt);
    if (!expr || expr->kind != ExprKind::Dict || first >= view.tokens.size() ||
        view.tokens[first].kind != TokenKind::LBrace)
      return;
    out.push_back(warning_at_token(view, first, kDictStatement));
    spans.emplace_back(first, matching_closer(view, first) + 1);  // its "}" included
  };
  walk(view.program, visitor);
  return spans;
}

}  // namespace

void add_front_end_warnings(const ScriptView& view, std::vector<Warning>& out) {
  add_lexer_warnings(view, out);
  std::vector<ParseRecovery> kept;
  std::unordered_map<size_t, size_t> kept_at_token;  // token -> index in kept (closers aside)
  bool nesting_reported = false;
  for (const ParseRecovery& r : view.recoveries) {
    if (r.token >= view.tokens.size()) continue;
    if (r.issue == ParseIssue::NestingTooDeep) {
      if (nesting_reported) continue;
      nesting_reported = true;
    }
    if (!is_closer(r.issue)) {
      auto [it, fresh] = kept_at_token.emplace(r.token, kept.size());
      if (!fresh) {
        ParseRecovery& same = kept[it->second];
        if (rank(r.issue) < rank(same.issue)) same = r;
        continue;
      }
    }
    kept.push_back(r);
  }
  // Marks the tokens inside any echo span (a running count of open spans).
  std::vector<int> opened(view.tokens.size() + 1, 0);
  std::vector<Warning> dict_statements;
  for (const auto& [first, last] : echo_spans(view, kept, dict_statements)) {
    if (last <= first + 1) continue;
    ++opened[first + 1];
    --opened[last];
  }
  std::vector<bool> echo(view.tokens.size(), false);
  int open = 0;
  for (size_t i = 0; i < view.tokens.size(); ++i) {
    open += opened[i];
    echo[i] = open > 0;
  }
  size_t last_reported = ParseListener::kNoToken;
  for (const ParseRecovery& r : kept) {
    if (echo[r.token]) continue;
    // A run of passed-over tokens is one mistake: "\"key\": 1," is reported at its first token.
    if (rank(r.issue) == 1 && last_reported != ParseListener::kNoToken &&
        r.token == last_reported + 1) {
      last_reported = r.token;
      continue;
    }
    last_reported = r.token;
    std::optional<std::string> specific = specific_text(view, r);
    std::string text = fill(view, r, specific ? *specific : std::string(issue_text(r.issue)));
    out.push_back(
        warning_at_token(view, is_closer(r.issue) ? r.related : r.token, std::move(text)));
  }
  out.insert(out.end(), dict_statements.begin(), dict_statements.end());
}

}  // namespace vormel
