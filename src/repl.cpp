// Placeholder until the REPL lands.
#include "repl.hpp"
namespace vormel {
void run_repl() {}
}  // namespace vormel
