// The interactive read-and-execute loop.
#pragma once

namespace vormel {

// Returns the exit status: 0, or the status a statement's system.exit asked for.
int run_repl();

}  // namespace vormel
