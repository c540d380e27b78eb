// What the "system" module shares with the programs that run scripts: the arguments a script
// was given, and the exit a script asks for.
#pragma once

#include <string>
#include <vector>

namespace vormel {

// Thrown by system.exit(status). It unwinds the running script as Ctrl-C's interrupt does,
// so that what the interpreter holds (a window) closes on the way; the
// file runner and the REPL catch it, flush the output and end with the status.
struct ScriptExit {
  int status;
};

// What system.args() answers: the command-line arguments after the script's name.
void set_script_arguments(std::vector<std::string> arguments);

}  // namespace vormel
