// Which `while` loops are laid out as flat number code, up to each bound of a frame; the
// values they compute are pinned by the golden scripts, on the builds with and without it.
#include "interpreter/number_loop.hpp"

#include <gtest/gtest.h>

#include <string>

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace vormel {
namespace {

// Whether the first statement of `source`, a `while`, is laid out as a number loop.
bool laid_out(const std::string& source) {
  StmtList program = parse_program(tokenize(source));
  const auto& loop = static_cast<const WhileStmt&>(*program.at(0));
  return number_loop_of(loop) != nullptr;
}

// `while i < 9 { ... }` with `body` as its statements.
std::string loop_over(const std::string& body) { return "while i < 9 {\n" + body + "}\n"; }

// `count` stores of `x1 = 1`, `x2 = 1`, ...: the loop reads or writes count + 1 names.
std::string stores_of_names(int count) {
  std::string body;
  for (int k = 1; k <= count; ++k) body += "x" + std::to_string(k) + " = 1\n";
  return body;
}

// `x = a + a + ... + a` with `operators` operators.
std::string sum_of(int operators) {
  std::string sum = "x = a";
  for (int k = 0; k < operators; ++k) sum += " + a";
  return sum + "\n";
}

TEST(NumberLoopTest, TakesArithmeticCopiesLiteralsIntegerUpdatesAndGuards) {
  EXPECT_TRUE(laid_out(loop_over("t = zr * zr - zi * zi + cr\nzr = t\nflag = true\ni += 1\n")));
  EXPECT_TRUE(laid_out(loop_over("let x = 2.5\nx -= y\nx *= 2\n")));
  EXPECT_TRUE(laid_out("while n < 9 and x * x <= 4.0 or done {\nn = n % 7 ** k / 3\n}\n"));
  // An `if` without `else` is a guard, whatever its body.
  EXPECT_TRUE(laid_out(loop_over("if n % d == 0 { return false }\nd += 2\n")));
  EXPECT_TRUE(laid_out(loop_over("if x < 1 { print(x) }\n")));
}

TEST(NumberLoopTest, LeavesOtherShapesToTheOrdinaryLoop) {
  for (const char* body :
       {"", "s = \"text\"\n", "x = f(1)\n", "x = -y\n", "x = xs[0]\n", "x /= 2\n", "x += 1.5\n",
        "x += y * 2\n", "print(x)\n", "if x < 1 { x = 2 } else { x = 3 }\n", "if f(x) { break }\n",
        "break\n", "x = 1 + 2\n", "x = y and 1\n"})
    EXPECT_FALSE(laid_out(loop_over(body))) << body;
  EXPECT_FALSE(laid_out("while x {\nx = 1\n}\n"));
  EXPECT_FALSE(laid_out("while f(x) < 1 {\nx = 1\n}\n"));
}

TEST(NumberLoopTest, FitsItsFrameOrStaysOrdinary) {
  // Names: i and x1 .. x31 fit the 32 a frame binds; one more does not.
  EXPECT_TRUE(laid_out(loop_over(stores_of_names(31))));
  EXPECT_FALSE(laid_out(loop_over(stores_of_names(32))));
  // Statements: 32 fit.
  std::string statements;
  for (int k = 0; k < 32; ++k) statements += "i += 1\n";
  EXPECT_TRUE(laid_out(loop_over(statements)));
  EXPECT_FALSE(laid_out(loop_over(statements + "i += 1\n")));
  // Registers: the condition's constant and result take 2 of the 64, and each operator one
  // (a store's last one too, though it writes into the name).
  std::string sums;
  for (int k = 0; k < 10; ++k) sums += sum_of(6);
  EXPECT_TRUE(laid_out(loop_over(sums + sum_of(2))));
  EXPECT_FALSE(laid_out(loop_over(sums + sum_of(3))));
}

}  // namespace
}  // namespace vormel
