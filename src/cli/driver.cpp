// The command line and the file-mode pipeline: read, tokenize, parse, run, with timings.
#include "cli/driver.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "interpreter/error_trace.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/library/script_process.hpp"
#include "lexer/lexer.hpp"
#include "parser/placed_parse.hpp"
#include "repl/repl.hpp"
#include "support/source_file.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

constexpr const char* kVersionLine = "Vormel version 1.0.6";

std::string rule_line() {
  std::string rule;
  for (int i = 0; i < 33; ++i) rule += "\u2500";
  return rule;
}

std::string milliseconds_text(double ms) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", ms);
  return buffer;
}

// Elapsed milliseconds of `stage` on the monotonic clock.
template <typename Stage>
double time_stage(Stage&& stage) {
  auto start = std::chrono::steady_clock::now();
  stage();
  auto elapsed = std::chrono::steady_clock::now() - start;
  auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count();
  return static_cast<double>(ns / 1000000000) * 1000.0 +
         static_cast<double>(ns % 1000000000) / 1e9 * 1000.0;
}

// The final path component's extension must be exactly "vl".
bool has_vl_extension(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return false;
  return name.substr(dot + 1) == "vl";
}

}  // namespace

namespace {
Command command_of(Command::Kind kind) {
  Command command;
  command.kind = kind;
  return command;
}
}  // namespace

// The driver's options count wherever they stand ("vormel script.vl -d" runs with debug
// output). After the script's name every other argument is the script's, and everything
// after a "--" there is the script's, options included.
Command parse_arguments(const std::vector<std::string>& args) {
  Command command;
  if (args.size() <= 1) return command;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--" && !command.file.empty()) {
      command.script_args.insert(command.script_args.end(), args.begin() + i + 1, args.end());
      break;
    }
    if (arg == "-h") return command_of(Command::Kind::Help);
    if (arg == "-v") return command_of(Command::Kind::Version);
    if (arg == "-d") {
      command.debug = true;
    } else if (arg == "-D") {
      command.debug = true;
      command.extra_debug = true;
    } else if (command.file.empty() && !arg.starts_with("-")) {
      command.file = arg;
    } else if (!command.file.empty()) {
      command.script_args.push_back(arg);
    }
  }
  if (command.file.empty()) return command_of(Command::Kind::Repl);
  command.kind = Command::Kind::Run;
  return command;
}

void print_usage() {
  static const char* const kLines[] = {
      "Vormel - A performant programming language",
      "",
      "USAGE:",
      "    vormel [OPTIONS] [FILE]",
      "",
      "OPTIONS:",
      "    -h       Print this help message",
      "    -v       Print the version",
      "    -d       Enable debug output during execution",
      "    -D       Enable extra debug output during runtime",
      "",
      "ARGS:",
      "    FILE             Path to a .vl file to execute",
      "",
      "EXAMPLES:",
      "    vormel                        Start the interactive REPL",
      "    vormel script.vl              Run a Vormel script",
      "    vormel script.vl -d           Run with debug output",
  };
  for (const char* line : kLines) std::printf("%s\n", line);
  std::fflush(stdout);
}

void log_driver(const std::string& message) {
  std::string line = "\x1b[33m[\x1b[93mVORMEL\x1b[33m]\x1b[0m " + message + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

int run_file(const std::string& file, bool debug, bool extra_debug) {
  auto log = [debug](const std::string& message) {
    if (debug) log_driver(message);
  };
  const std::string rule = rule_line();
  log(rule);
  log("Starting Vormel interpreter...");

  if (!has_vl_extension(file)) {
    std::fputs("Error: Only .vl files are allowed.\n", stderr);
    return 1;
  }
  std::string source;
  std::string failure;
  if (!read_script(file, source, failure)) {
    std::fprintf(stderr, "Error: Failed to read the file: %s\n", failure.c_str());
    return 1;
  }
  log("File read successfully (" + std::to_string(source.size()) + " bytes)");

  TokenList tokens;
  double tokenize_ms = time_stage([&] { tokens = tokenize(source); });
  if (debug) log("Tokenization completed in " + milliseconds_text(tokenize_ms) + "ms");

  StmtList program;
  double parse_ms = time_stage([&] { program = parse_placed(tokens, file); });
  if (debug) log("Parsing completed in " + milliseconds_text(parse_ms) + "ms");

  log("Starting execution...");
  log(rule);
  int status = 0;
  double execute_ms = time_stage([&] {
    try {
      run_program(program, extra_debug);
    } catch (const ScriptExit& exit) {
      status = exit.status;
    }
  });
  std::fflush(stdout);

  if (debug) {  // the texts are made only when shown
    log(rule);
    log("Tokenization : " + milliseconds_text(tokenize_ms) + "ms");
    log("Parsing      : " + milliseconds_text(parse_ms) + "ms");
    log("Execution    : " + milliseconds_text(execute_ms) + "ms");
    log(rule);
  }
  return status;
}

int run_command(const Command& command) {
  set_where_enabled(where_wanted());
  switch (command.kind) {
    case Command::Kind::Help: print_usage(); return 0;
    case Command::Kind::Version:
      std::printf("%s\n", kVersionLine);
      std::fflush(stdout);
      return 0;
    case Command::Kind::Repl: return run_repl();
    case Command::Kind::Run:
      set_script_arguments(command.script_args);
      return run_file(command.file, command.debug, command.extra_debug);
  }
  return 0;
}

}  // namespace vormel
