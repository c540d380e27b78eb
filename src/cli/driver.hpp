// The command line: reading arguments and running a script file with optional stage timings.
#pragma once

#include <string>
#include <vector>

namespace vormel {

struct Command {
  enum class Kind { Help, Version, Repl, Run };
  Kind kind = Kind::Repl;
  std::string file;
  // The arguments after the script's name that are not the driver's own options: what
  // system.args() answers.
  std::vector<std::string> script_args;
  bool debug = false;
  bool extra_debug = false;
};

Command parse_arguments(const std::vector<std::string>& args);
void print_usage();
// Runs the script; returns the process exit status.
int run_file(const std::string& file, bool debug, bool extra_debug);
void log_driver(const std::string& message);
// Dispatches a parsed command; returns the exit status.
int run_command(const Command& command);

}  // namespace vormel
