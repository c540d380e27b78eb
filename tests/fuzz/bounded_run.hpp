// Running a fuzzer's script under bounds: a limited number of loop passes and calls and a
// limited amount of memory, so that generated endless loops and runaway growth end quickly.
// What runs out fails the way it would on a real machine (the run stops, or the operation
// fails with "Out of memory").
#pragma once

#include <cstdint>
#include <string_view>

namespace fuzzing {

// Scripts read an empty standard input, write to /dev/null, and look for modules in an
// empty folder of their own. Call once, from LLVMFuzzerInitialize.
void prepare_process();

struct BoundedRun {
  enum class End { Finished, OutOfSteps, OutOfMemory } end = End::Finished;
  uint64_t steps = 0;  // spent (see step_budget.hpp)
  bool finished() const { return end == End::Finished; }
};

// Tokenizes, parses and runs `source` as a script under the bounds, with the interpreter's
// debug trace (the -D option) on or off.
BoundedRun run_bounded(std::string_view source, bool trace = false);

}  // namespace fuzzing
