#include <gtest/gtest.h>

#include <limits>

#include "repl/brackets.hpp"

namespace vormel {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(BracketDepthTest, ParensAndSquareBracketsShareACounterBracesHaveTheirOwn) {
  BracketDepth depth;
  depth.scan("f([1, (2)");
  EXPECT_EQ(depth.paren, 2);
  EXPECT_EQ(depth.brace, 0);
  depth.scan("{ \"}\" {");  // inside a string literal too
  EXPECT_EQ(depth.brace, 1);
  depth.scan(")]}");
  EXPECT_EQ(depth.paren, 0);
  EXPECT_EQ(depth.brace, 0);
  EXPECT_TRUE(depth.is_at_rest());
}

TEST(BracketDepthTest, NegativeDepthIsNeitherOpenNorAtRest) {
  BracketDepth depth;
  depth.scan("print(1))");
  EXPECT_EQ(depth.paren, -1);
  EXPECT_FALSE(depth.is_open());
  EXPECT_FALSE(depth.is_at_rest());
  depth.scan("print(2");  // one opener only pays the debt back
  EXPECT_FALSE(depth.is_open());
  EXPECT_TRUE(depth.is_at_rest());
}

TEST(BracketDepthTest, EitherCounterAboveZeroKeepsTheInputOpen) {
  BracketDepth depth;
  depth.scan("]]{");
  EXPECT_EQ(depth.paren, -2);
  EXPECT_EQ(depth.brace, 1);
  EXPECT_TRUE(depth.is_open());
}

TEST(BracketDepthTest, MultiByteCharactersCountNothing) {
  BracketDepth depth;
  depth.scan("\u00a8\u00bb\u2029\u00db\u00dd");  // UTF-8 sequences with bytes like 0xA8, 0xBB
  EXPECT_EQ(depth.paren, 0);
  EXPECT_EQ(depth.brace, 0);
}

TEST(BracketDepthTest, CountersSaturateAtTheEndsOfTheirRange) {
  BracketDepth depth{kMin + 1, kMin};
  depth.scan(")]}}");
  EXPECT_EQ(depth.paren, kMin);
  EXPECT_EQ(depth.brace, kMin);
  depth.scan("(");  // leaving the floor counts from the floor, not from a wrapped value
  EXPECT_EQ(depth.paren, kMin + 1);

  BracketDepth high{kMax - 1, kMax};
  high.scan("(([{");
  EXPECT_EQ(high.paren, kMax);
  EXPECT_EQ(high.brace, kMax);
  high.scan(")");
  EXPECT_EQ(high.paren, kMax - 1);
}

}  // namespace
}  // namespace vormel
