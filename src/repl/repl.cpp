// The interactive loop: one interpreter for the whole session, inputs that continue while a
// bracket is open, and no automatic `main`.
#include "repl/repl.hpp"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/library/script_process.hpp"
#include "interpreter/messages.hpp"
#include "lexer/lexer.hpp"
#include "parser/placed_parse.hpp"
#include "repl/brackets.hpp"
#include "repl/line_reader.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

// Every statement runs, whatever the previous one left in the return slot or the loop
// flags: those stay set for later statement lists, as at a script's top level.
// Ctrl-C stops the statement that is running and skips the rest of the input; what earlier
// statements defined stays.
// An expression statement typed at a terminal shows its value, as a calculator would (Null
// shows nothing); otherwise it runs as in a script.
void run_statement(Interpreter& interpreter, const Stmt& statement, bool show_values) {
  if (!show_values || statement.kind != StmtKind::Expr) {
    interpreter.execute(statement);
    return;
  }
  const auto& expression = static_cast<const ExprStmt&>(statement);
  Value value = interpreter.evaluate(*expression.expr);
  if (value.is_error()) {
    errors::log_statement_failure(statement.place, messages::kExpressionFailed, value);
  } else if (!value.is(ValueKind::Null)) {
    std::string text = display_text(value);
    text.push_back('\n');
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
}

// Returns the status that a system.exit in the input asked for, if one did.
std::optional<int> run_input(Interpreter& interpreter, std::string_view input, uint32_t first_line,
                             bool show_values) {
  StmtList statements = parse_placed(input, "<input>", first_line);
  try {
    for (const StmtPtr& statement : statements) run_statement(interpreter, *statement, show_values);
  } catch (const ScriptExit& exit) {
    return exit.status;
  } catch (const Interrupted&) {
    interpreter.recover_from_interrupt();
    // A read that the interrupt cut short (input() waiting for a line) left the error flag.
    std::clearerr(stdin);
    std::fflush(stdout);
    report_interrupt();
  }
  // Function values hold their own share of their definitions, so the tree can go now.
  return std::nullopt;
}

}  // namespace

int run_repl() {
  // A reader gone from a pipe must show up as a failed flush, not as a silent signal death.
  std::signal(SIGPIPE, SIG_IGN);
  std::fputs("Welcome to Vormel Interactive REPL!\nType 'exit' to quit.\n\n", stdout);
  Interpreter interpreter;
  BracketDepth depth;
  std::string pending;
  std::string line;
  std::unique_ptr<LineReader> reader = make_line_reader();
  // A person at a terminal sees each expression's value; through pipes the output stays
  // what the statements themselves write.
  const bool show_values = isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
  uint32_t lines_read = 0;  // error locations number the session's lines
  uint32_t input_first_line = 1;
  catch_interrupts();
  for (;;) {
    take_interrupt();  // one that came after the last statement's checks has nothing to stop
    if (!reader->read_line(depth.is_at_rest() ? ">>> " : "... ", line)) {
      if (!take_interrupt()) break;
      // Ctrl-C at a prompt: the line and any pending input are dropped, and a fresh
      // primary prompt starts on a line of its own.
      std::clearerr(stdin);
      pending.clear();
      depth = BracketDepth{};
      std::fputs("\n", stdout);
      continue;
    }
    ++lines_read;
    if (!is_valid_utf8(line)) break;
    std::string_view text = trim_white_space(line);
    if (text.empty()) continue;
    reader->remember(text);
    if (text == "exit" || text == "quit") {
      std::fputs("Goodbye!\n", stdout);
      break;
    }
    if (pending.empty()) input_first_line = lines_read;
    depth.scan(text);
    if (depth.is_open()) {
      pending.append(text);
      pending.push_back('\n');
      continue;
    }
    std::string input = std::move(pending);
    pending.clear();
    input.append(text);
    if (std::optional<int> status = run_input(interpreter, input, input_first_line, show_values)) {
      std::fflush(stdout);
      return *status;
    }
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace vormel
