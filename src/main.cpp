// Entry point: read the command line and run it on a thread with a large stack.
#include <cstdio>
#include <string>
#include <vector>

#include "driver.hpp"
#include "support/large_stack.hpp"

int main(int argc, char** argv) {
  // Line-buffered even into a pipe: each printed line shows as soon as it ends, in order
  // with the diagnostics on standard error.
  std::setvbuf(stdout, nullptr, _IOLBF, 1 << 16);
  std::vector<std::string> args(argv, argv + argc);
  vormel::Command command = vormel::parse_arguments(args);
  return vormel::run_with_large_stack([&] { return vormel::run_command(command); });
}
