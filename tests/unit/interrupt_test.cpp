// Interrupts without a terminal: the handler raises the request, the checks throw, and the
// interpreter is whole again after recover_from_interrupt(). The terminal side (Ctrl-C as
// typed, the REPL's prompt and report) is tests/repl_interrupt_test.py.
#include "interpreter/interrupt.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace vormel {
namespace {

// Runs `source` on `interpreter`; true if an interrupt stopped it.
bool run_until_interrupted(Interpreter& interpreter, const std::string& source) {
  StmtList program = parse_program(tokenize(source));
  try {
    for (const StmtPtr& stmt : program) interpreter.execute(*stmt);
  } catch (const Interrupted&) {
    interpreter.recover_from_interrupt();
    return true;
  }
  return false;
}

// Requests an interrupt after `delay`, from another thread, as the signal handler would.
std::thread interrupt_after(std::chrono::milliseconds delay) {
  return std::thread([delay] {
    std::this_thread::sleep_for(delay);
    g_interrupt_requested.store(true);
  });
}

std::string text_of(Interpreter& interpreter, const char* name) {
  return display_text(interpreter.get_variable(std::string_view(name)));
}

TEST(Interrupt, TheHandlerRaisesTheRequestOnceForEachSignal) {
  catch_interrupts();
  EXPECT_FALSE(take_interrupt());
  std::raise(SIGINT);
  EXPECT_TRUE(take_interrupt());
  EXPECT_FALSE(take_interrupt());
  std::signal(SIGINT, SIG_DFL);
}

TEST(Interrupt, StopsALoopAndKeepsWhatRanBefore) {
  Interpreter interpreter;
  g_interrupt_requested.store(true);
  EXPECT_TRUE(run_until_interrupted(interpreter, "let a = 1 while true { a = 2 } a = 3"));
  EXPECT_EQ(text_of(interpreter, "a"), "1");   // the loop never made a pass
  EXPECT_FALSE(g_interrupt_requested.load());  // consumed by the statement it stopped
  EXPECT_FALSE(run_until_interrupted(interpreter, "a = a + 10"));
  EXPECT_EQ(text_of(interpreter, "a"), "11");
}

TEST(Interrupt, StopsAForLoopOverARangeAndOverAnArray) {
  Interpreter interpreter;
  g_interrupt_requested.store(true);
  EXPECT_TRUE(run_until_interrupted(interpreter, "let seen = 0 for i in 0..10 { seen = i }"));
  g_interrupt_requested.store(true);
  EXPECT_TRUE(run_until_interrupted(interpreter, "for v in [5, 6] { seen = v }"));
  EXPECT_EQ(text_of(interpreter, "seen"), "0");
}

TEST(Interrupt, UnwindsADeepRecursionAndRestoresShadowedBindings) {
  Interpreter interpreter;
  std::thread requester = interrupt_after(std::chrono::milliseconds(50));
  const bool interrupted = run_until_interrupted(interpreter,
                                                 "let k = \"outer\" "
                                                 "def deep(k) { if k == 0 { while true { } } "
                                                 "return deep(k - 1) } "
                                                 "let result = deep(200)");
  requester.join();
  EXPECT_TRUE(interrupted);
  EXPECT_EQ(text_of(interpreter, "k"), "outer");
  EXPECT_EQ(interpreter.peek_variable(intern("result")), nullptr);  // never assigned
  // Calls work as before: locals bind and unbind at the right depth.
  EXPECT_FALSE(
      run_until_interrupted(interpreter, "def add(k, j) { return k + j } let result = add(40, 2)"));
  EXPECT_EQ(text_of(interpreter, "result"), "42");
  EXPECT_EQ(text_of(interpreter, "k"), "outer");
}

TEST(Interrupt, UnwindsACallWhoseArgumentsAreHalfBuilt) {
  // The interrupt arrives while the second argument is computed: the first is built (a
  // string, which must be released), the third never is (it must not be touched).
  Interpreter interpreter;
  std::thread requester = interrupt_after(std::chrono::milliseconds(50));
  const bool interrupted = run_until_interrupted(
      interpreter,
      "def three(a, b, c) { return a } def spin() { while true { } return 1 } "
      "let words = concat(\"some \", \"text\") let got = three(words + \"!\", spin(), 3)");
  requester.join();
  EXPECT_TRUE(interrupted);
  EXPECT_EQ(interpreter.peek_variable(intern("got")), nullptr);  // never assigned
  EXPECT_FALSE(run_until_interrupted(interpreter, "let got = three(words, 2, 3)"));
  EXPECT_EQ(text_of(interpreter, "got"), "some text");
}

TEST(Interrupt, GivesBackParametersAndLocalsOfEveryKindOfCallInReverseOrder) {
  // `n` is bound three times on the way down: as a parameter of a call with few arguments,
  // as a local of the call below it, and as a local of a call with many arguments. The
  // unwinding must give each binding back in the reverse order, ending at the global.
  Interpreter interpreter;
  std::thread requester = interrupt_after(std::chrono::milliseconds(50));
  const bool interrupted =
      run_until_interrupted(interpreter,
                            "let n = \"global\" "
                            "def spin(a, b, c, d, e) { n = \"six\" while true { } } "
                            "def inner() { n = \"inner\" return spin(1, 2, 3, 4, 5) } "
                            "def outer(n, a) { return inner() } "
                            "outer(\"param\", 1)");
  requester.join();
  EXPECT_TRUE(interrupted);
  EXPECT_EQ(text_of(interpreter, "n"), "global");
  EXPECT_EQ(interpreter.peek_variable(intern("a")), nullptr);
  EXPECT_EQ(interpreter.peek_variable(intern("e")), nullptr);
  // The next calls bind at the right depth again.
  EXPECT_FALSE(run_until_interrupted(
      interpreter, "def show(n, a) { return concat(n, a) } let shown = show(\"x\", \"y\")"));
  EXPECT_EQ(text_of(interpreter, "shown"), "xy");
  EXPECT_EQ(text_of(interpreter, "n"), "global");
}

TEST(Interrupt, ClearsAReturnPendingInTheUnwoundCalls) {
  Interpreter interpreter;
  std::thread requester = interrupt_after(std::chrono::milliseconds(50));
  // The call sits in a return statement: its slot must not carry over to the next input.
  EXPECT_TRUE(run_until_interrupted(
      interpreter, "def spin() { while true { } } def outer() { return spin() } outer()"));
  requester.join();
  EXPECT_FALSE(interpreter.return_pending());
  EXPECT_FALSE(interpreter.break_pending());
  EXPECT_FALSE(run_until_interrupted(interpreter, "let after = 7 let also = after + 1"));
  EXPECT_EQ(text_of(interpreter, "also"), "8");
}

}  // namespace
}  // namespace vormel
