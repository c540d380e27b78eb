// Entry point: read the command line and run it on a thread with a large stack.
#include <string>
#include <vector>

#include "driver.hpp"
#include "support/large_stack.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  vormel::Command command = vormel::parse_arguments(args);
  return vormel::run_with_large_stack([&] { return vormel::run_command(command); });
}
