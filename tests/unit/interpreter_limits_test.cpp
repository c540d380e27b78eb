#include <gtest/gtest.h>

#include <string>

#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace vormel {
namespace {

// Runs `source` in a fresh interpreter on this (ordinary-sized) thread stack and returns
// what it wrote on standard error.
std::string run_capturing_errors(const std::string& source) {
  StmtList program = parse_program(tokenize(source));
  testing::internal::CaptureStderr();
  {
    Interpreter interpreter;
    for (const StmtPtr& stmt : program) interpreter.execute(*stmt);
  }
  return testing::internal::GetCapturedStderr();
}

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(InterpreterLimitsTest, BlocksNestedPastTheStackFailCleanly) {
  std::string errors = run_capturing_errors(repeated("if true { ", 400000) + "x = 1");
  EXPECT_NE(errors.find("Maximum nesting depth exceeded"), std::string::npos);
}

TEST(InterpreterLimitsTest, DeepNestingInsideDeepRecursionFailsCleanly) {
  // Each call nests blocks; together they exhaust the stack sooner than either alone.
  std::string body = repeated("if true { ", 2000) + "return f(n + 1)" + repeated(" }", 2000);
  std::string errors = run_capturing_errors("def f(n) { " + body + " }\nf(0)");
  EXPECT_TRUE(errors.find("Maximum recursion depth exceeded") != std::string::npos ||
              errors.find("Maximum nesting depth exceeded") != std::string::npos);
}

TEST(InterpreterLimitsTest, RunawayRecursionStopsWithAnErrorOnASmallStack) {
  std::string errors = run_capturing_errors("def f(n) { return f(n + 1) }\nf(0)");
  EXPECT_NE(errors.find("Maximum recursion depth exceeded"), std::string::npos);
  EXPECT_NE(errors.find("Error in expression: Maximum recursion depth exceeded"),
            std::string::npos);
}

}  // namespace
}  // namespace vormel
