#include <gtest/gtest.h>
#include <pthread.h>

#include <string>

#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace vormel {
namespace {

// Runs `source` in a fresh interpreter on this (ordinary-sized) thread stack and returns
// what it wrote on standard error; `x` receives the display text of the global x.
std::string run_capturing_errors(const std::string& source, std::string* x = nullptr) {
  StmtList program = parse_program(tokenize(source));
  testing::internal::CaptureStderr();
  {
    Interpreter interpreter;
    for (const StmtPtr& stmt : program) interpreter.execute(*stmt);
    if (x != nullptr) *x = display_text(interpreter.get_variable(std::string_view("x")));
  }
  return testing::internal::GetCapturedStderr();
}

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Runs `work` on a thread whose stack is only `bytes` large.
void run_on_small_stack(size_t bytes, void (*work)(void*), void* context) {
  struct Job {
    void (*work)(void*);
    void* context;
  } job{work, context};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, bytes);
  pthread_t thread;
  ASSERT_EQ(pthread_create(
                &thread, &attr,
                [](void* p) -> void* {
                  auto* j = static_cast<Job*>(p);
                  j->work(j->context);
                  return nullptr;
                },
                &job),
            0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

TEST(InterpreterLimitsTest, BlocksNestedPastTheStackFailCleanly) {
  // Parsed here with room to spare, run on a 1.25 MiB stack that cannot hold the nest: a
  // quarter MiB beyond the reserve (a nested `if` costs the evaluator under 64 bytes).
  struct Case {
    StmtList program;
    std::string x;
  } c{parse_program(tokenize(repeated("if true { ", 30000) + "x = 1")), ""};
  testing::internal::CaptureStderr();
  run_on_small_stack(
      size_t{5} << 18,
      [](void* p) {
        auto* c = static_cast<Case*>(p);
        Interpreter interpreter;
        for (const StmtPtr& stmt : c->program) interpreter.execute(*stmt);
        c->x = display_text(interpreter.get_variable(std::string_view("x")));
      },
      &c);
  std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("Maximum nesting depth exceeded"), std::string::npos);
  EXPECT_EQ(c.x, "null");  // the innermost assignment never ran
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
