#include "lexer/lexer.hpp"

#include <gtest/gtest.h>

namespace vormel {
namespace {

std::string lex(std::string_view source) {
  std::string out;
  for (const Token& token : tokenize(source)) {
    if (!out.empty()) out += " ";
    out += debug_text(token);
  }
  return out;
}

TEST(LexerTest, EmptyInputAndCommentsGiveOnlyEof) {
  EXPECT_EQ(lex(""), "EOF");
  EXPECT_EQ(lex("  \t\r\n # comment\n /* block */ # to the end"), "EOF");
  EXPECT_EQ(lex("/* never closed"), "EOF");
}

TEST(LexerTest, OperatorsTakeTheLongestForm) {
  EXPECT_EQ(lex("x+=1"), "Identifier(\"x\") PlusAssign Number(1) EOF");
  EXPECT_EQ(lex("a=>b"), "Identifier(\"a\") FatArrow Identifier(\"b\") EOF");
  EXPECT_EQ(lex("a==b a=b"),
            "Identifier(\"a\") Equal Identifier(\"b\") Identifier(\"a\") Assign "
            "Identifier(\"b\") EOF");
  EXPECT_EQ(lex("2**3 2*-3"), "Number(2) Power Number(3) Number(2) Star Minus Number(3) EOF");
  EXPECT_EQ(lex("**="), "Power Assign EOF");
  EXPECT_EQ(lex("! != -> -= <= >= < >"),
            "Not NotEqual Arrow MinusAssign LessEqual GreaterEqual Less Greater EOF");
  EXPECT_EQ(lex("% ( ) { } [ ] , : ; . ?"),
            "Percent LParen RParen LBrace RBrace LBracket RBracket Comma Colon Semicolon Dot "
            "Question EOF");
}

TEST(LexerTest, CommentsEndWhereWritten) {
  EXPECT_EQ(lex("x = 1 # note\ny"), "Identifier(\"x\") Assign Number(1) Identifier(\"y\") EOF");
  EXPECT_EQ(lex("/* c */ 1 // 2"), "Number(1) Slash Slash Number(2) EOF");
  EXPECT_EQ(lex("/*/ 1 */ 2"), "Number(2) EOF");  // "/*/" does not close itself
  EXPECT_EQ(lex("/**/ 3"), "Number(3) EOF");
}

TEST(LexerTest, StringEscapes) {
  EXPECT_EQ(lex("\"a\\tb\""), "String(\"a\\tb\") EOF");
  EXPECT_EQ(lex("\"c:\\d\""), "String(\"c:\\\\d\") EOF");  // unknown escape kept whole
  EXPECT_EQ(lex("\"\\n\\r\\\\\\\"\""), "String(\"\\n\\r\\\\\\\"\") EOF");
  EXPECT_EQ(lex("\"\\0\""), "String(\"\\\\0\") EOF");
  EXPECT_EQ(lex("\"open"), "String(\"open\") EOF");
  EXPECT_EQ(lex("\"end\\"), "String(\"end\") EOF");  // trailing backslash dropped
  EXPECT_EQ(lex("\"two\nlines\""), "String(\"two\\nlines\") EOF");
}

TEST(LexerTest, NumbersAroundDots) {
  EXPECT_EQ(lex("1..5"), "Number(1) Dot Dot Number(5) EOF");
  EXPECT_EQ(lex("1.2.3"), "Float(1.2) Dot Number(3) EOF");
  EXPECT_EQ(lex("1."), "Number(1) Dot EOF");
  EXPECT_EQ(lex(".5"), "Dot Number(5) EOF");
  EXPECT_EQ(lex("1.50 007 12abc"), "Float(1.5) Number(7) Number(12) Identifier(\"abc\") EOF");
  EXPECT_EQ(lex("9223372036854775807"), "Number(9223372036854775807) EOF");
}

TEST(LexerTest, IntegerLiteralTooLargeBecomesNearestFloat) {
  EXPECT_EQ(lex("99999999999999999999 1"), "Float(1e20) Number(1) EOF");
  EXPECT_EQ(lex("9223372036854775808"), "Float(9.223372036854776e18) EOF");
}

TEST(LexerTest, NamesAndKeywords) {
  EXPECT_EQ(lex("if x { }"), "If Identifier(\"x\") LBrace RBrace EOF");
  EXPECT_EQ(lex("If true false null"), "Identifier(\"If\") True False Identifier(\"null\") EOF");
  EXPECT_EQ(lex("let def return else while for in break continue and or not match try catch "
                "global use as"),
            "Let Def Return Else While For In Break Continue And Or Not Match Try Catch Global "
            "Use As EOF");
  EXPECT_EQ(lex("caf\xc3\xa9 x\xe2\x85\xa0"),
            "Identifier(\"caf\xc3\xa9\") Identifier(\"x\xe2\x85\xa0\") EOF");
  EXPECT_EQ(lex("\xc3\xa9t\xc3\xa9"), "Identifier(\"t\xc3\xa9\") EOF");  // é cannot start a name
  EXPECT_EQ(lex("sdl2.create_window _"),
            "Identifier(\"sdl2\") Dot Identifier(\"create_window\") Identifier(\"_\") EOF");
}

TEST(LexerTest, UnrecognisedCharactersAreDropped) {
  EXPECT_EQ(lex("@ $ a && b | ^ ~ ' `"), "Identifier(\"a\") Identifier(\"b\") EOF");
  EXPECT_EQ(lex("\xef\xbb\xbf"
                "1"),
            "Number(1) EOF");  // byte-order mark
}

// The tools' keyword list is the lexer's: each entry lexes as the keyword it names.
TEST(LexerTest, KeywordListIsWhatTheLexerReads) {
  EXPECT_EQ(keywords().size(), 21u);
  EXPECT_EQ(keywords().front(), "let");
  for (std::string_view word : keywords()) {
    std::optional<TokenKind> kind = keyword_kind(word);
    ASSERT_TRUE(kind.has_value()) << word;
    EXPECT_EQ(keyword_spelling(*kind), word);
    EXPECT_EQ(tokenize(word).front().kind, *kind) << word;
  }
  EXPECT_EQ(keyword_spelling(TokenKind::Identifier), "");
  EXPECT_FALSE(keyword_kind("").has_value());
}

}  // namespace
}  // namespace vormel
