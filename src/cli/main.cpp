// Entry point: read the command line and run it on a thread with a large stack.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/driver.hpp"
#include "support/large_stack.hpp"

int main(int argc, char** argv) {
  // Line-buffered even into a pipe: each printed line shows as soon as it ends, in order
  // with the diagnostics on standard error.
  std::setvbuf(stdout, nullptr, _IOLBF, 1 << 16);
  std::vector<std::string> args(argv, argv + argc);
  vormel::Command command = vormel::parse_arguments(args);
  return vormel::run_with_large_stack([&] {
    // Operations that run out of memory fail as script errors; this catches what is left
    // (memory exhausted outside any operation), so that it ends cleanly instead of aborting.
    try {
      return vormel::run_command(command);
    } catch (const std::bad_alloc&) {
      std::fflush(stdout);
      std::fputs("Error: Out of memory\n", stderr);
      return 1;
    }
  });
}
