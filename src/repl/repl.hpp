// The interactive read-and-execute loop.
#pragma once

namespace vormel {

void run_repl();

}  // namespace vormel
