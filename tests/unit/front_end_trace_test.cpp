// The lexer's position side table and the parser's listener: both are observers only. The
// token list and the tree are the same with and without them (checked over every example and
// golden script of the project), and they point at the right places.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"
#include "support/whole_file.hpp"

namespace vormel {
namespace {

std::vector<std::string> project_scripts() {
  std::vector<std::string> texts;
  namespace fs = std::filesystem;
  for (const char* folder : {"examples", "tests/golden"}) {
    fs::path root = fs::path(VORMEL_SOURCE_DIR) / folder;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      // A test of the driver names a folder like a script.
      if (entry.path().extension() != ".vl" || !entry.is_regular_file()) continue;
      std::string text;
      EXPECT_EQ(read_whole_file(entry.path().string(), text), 0) << entry.path();
      texts.push_back(std::move(text));
    }
  }
  return texts;
}

const std::vector<std::string> kOddInputs = {
    "",
    "a && b",
    "\"open",
    "/* open",
    "x = 99999999999999999999",
    "é = 1",
    "if a { } else if b { }",
    "xs[i] = v",
    "def f(a):\n  return a",
    "print(1 +)",
    "{ \"k\": 1, a b: 2 }",
    "f(1,,2",
    "a . . b",
    "match x { , 1 => 2 3 }",
    "use m { 1 a",
    "try { } x",
    "\xff\xfe bytes",
    "let = 1 let x 2",
};

struct Recorder : ParseListener {
  std::vector<std::tuple<ParseIssue, size_t, size_t>> issues;
  size_t statements = 0;
  size_t expressions = 0;
  void recovered(ParseIssue issue, size_t token, size_t related) override {
    issues.emplace_back(issue, token, related);
  }
  void statement_parsed(const Stmt&, size_t) override { ++statements; }
  void expression_parsed(const Expr&, size_t) override { ++expressions; }
};

TEST(FrontEndTraceTest, TokensAndTreesAreUnchangedByObservers) {
  std::vector<std::string> inputs = project_scripts();
  ASSERT_GT(inputs.size(), 50u);
  inputs.insert(inputs.end(), kOddInputs.begin(), kOddInputs.end());
  for (const std::string& source : inputs) {
    LexTrace trace;
    TokenList plain = tokenize(source);
    TokenList traced = tokenize(source, trace);
    ASSERT_EQ(plain, traced) << source;
    ASSERT_EQ(trace.token_starts.size(), plain.size());
    ASSERT_EQ(trace.token_ends.size(), plain.size());
    Recorder recorder;
    EXPECT_EQ(debug_text(parse_program(plain)), debug_text(parse_program(plain, &recorder)))
        << source;
  }
}

TEST(FrontEndTraceTest, TokenPositionsCountLinesAndCharacters) {
  LexTrace trace;
  TokenList tokens = tokenize("let x = 1\n  print(\"é\", yé)  # note\n", trace);
  ASSERT_EQ(tokens.size(), 11u);  // let x = 1 print ( "é" , yé ) EOF
  auto where = [&](size_t i) {
    return std::make_pair(trace.token_starts[i].line, trace.token_starts[i].column);
  };
  EXPECT_EQ(where(0), std::make_pair(1u, 1u));
  EXPECT_EQ(where(3), std::make_pair(1u, 9u));
  EXPECT_EQ(where(4), std::make_pair(2u, 3u));   // print
  EXPECT_EQ(where(6), std::make_pair(2u, 9u));   // the string
  EXPECT_EQ(where(7), std::make_pair(2u, 12u));  // "é" is one column wide
  EXPECT_EQ(where(8), std::make_pair(2u, 14u));  // yé
  EXPECT_EQ(trace.token_ends[8].column, 16u);
  EXPECT_EQ(where(10), std::make_pair(3u, 1u));  // EOF after the last line break
  EXPECT_EQ(trace.token_starts[4].offset, 12u);
}

TEST(FrontEndTraceTest, NotesShowWhatTheLexerPassedOver) {
  LexTrace trace;
  tokenize("a && b\n x @ \"open", trace);
  ASSERT_EQ(trace.notes.size(), 4u);
  EXPECT_EQ(trace.notes[0].kind, LexNoteKind::UnknownCharacter);
  EXPECT_EQ(trace.notes[0].character, U'&');
  EXPECT_EQ(trace.notes[0].at.column, 3u);
  EXPECT_EQ(trace.notes[1].at.column, 4u);
  EXPECT_EQ(trace.notes[2].character, U'@');
  EXPECT_EQ(trace.notes[2].at.line, 2u);
  EXPECT_EQ(trace.notes[2].at.column, 4u);
  EXPECT_EQ(trace.notes[3].kind, LexNoteKind::UnterminatedString);
  EXPECT_EQ(trace.notes[3].at.column, 6u);

  tokenize("1 /* open", trace);
  ASSERT_EQ(trace.notes.size(), 1u);
  EXPECT_EQ(trace.notes[0].kind, LexNoteKind::UnterminatedComment);
  EXPECT_EQ(trace.notes[0].at.column, 3u);

  tokenize("x = 99999999999999999999 \"closed\" 9223372036854775807", trace);
  ASSERT_EQ(trace.notes.size(), 1u);
  EXPECT_EQ(trace.notes[0].kind, LexNoteKind::IntegerTooLarge);
  EXPECT_EQ(trace.notes[0].at.column, 5u);

  tokenize("é", trace);  // a non-ASCII letter cannot begin a name
  ASSERT_EQ(trace.notes.size(), 1u);
  EXPECT_EQ(trace.notes[0].character, U'é');
}

std::vector<std::tuple<ParseIssue, size_t, size_t>> issues_of(std::string_view source) {
  Recorder recorder;
  parse_program(tokenize(source), &recorder);
  return recorder.issues;
}

constexpr size_t kNone = ParseListener::kNoToken;

TEST(FrontEndTraceTest, ListenerHearsEachRecoveryAtItsToken) {
  using I = ParseIssue;
  using Issues = std::vector<std::tuple<ParseIssue, size_t, size_t>>;
  // if a { } else if b { }: the else is consumed without a body at the second if (token 5).
  EXPECT_EQ(issues_of("if a { } else if b { }"), (Issues{{I::ElseBodyMissing, 5, kNone}}));
  // xs[i] = v: the "=" (token 4) begins nothing at a statement position.
  EXPECT_EQ(issues_of("xs[i] = v"),
            (Issues{{I::ExpressionExpected, 4, kNone}, {I::SkippedStatement, 4, kNone}}));
  // def f(a): the colon stands where the body's brace belongs.
  EXPECT_EQ(issues_of("def f(a): return a").front(), std::make_tuple(I::DefBodyMissing, 5, kNone));
  EXPECT_EQ(issues_of("if x > 1 print(x)"), (Issues{{I::IfBodyMissing, 4, kNone}}));
  EXPECT_EQ(issues_of("print(1 +)"), (Issues{{I::ExpressionExpected, 4, kNone}}));
  // Closers missing at the end of the input name their opener.
  EXPECT_EQ(issues_of("while a { f(1"),
            (Issues{{I::ParenUnclosed, 6, 4}, {I::BlockUnclosed, 6, 2}}));
  EXPECT_EQ(issues_of("x = {a 1}"),
            (Issues{{I::DictColonMissing, 4, 3}, {I::SkippedDictEntry, 4, kNone}}));
  EXPECT_EQ(issues_of("match v { 1 2 => 3 }"), (Issues{{I::MatchArrowMissing, 4, 3}}));
  EXPECT_EQ(issues_of("let = 1"), (Issues{{I::LetNameMissing, 1, kNone},
                                          {I::ExpressionExpected, 1, kNone},
                                          {I::SkippedStatement, 1, kNone}}));
  EXPECT_EQ(issues_of("a . 1"), (Issues{{I::StrayDot, 1, kNone}}));
  EXPECT_TRUE(issues_of("def f(a, b) { return a + b }\nprint(f(1, 2))").empty());
}

}  // namespace
}  // namespace vormel
