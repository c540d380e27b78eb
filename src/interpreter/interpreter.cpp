// Placeholder until the interpreter lands.
#include "interpreter/interpreter.hpp"
namespace vormel {
void run_program(const StmtList&, bool) {}
}  // namespace vormel
