// vormel-lsp: a language server for Vormel on standard input and output.
#include <iostream>

#include "lsp/language_server.hpp"
#include "support/large_stack.hpp"

int main() {
  std::ios::sync_with_stdio(false);
  return vormel::run_with_large_stack([] {
    vormel::LanguageServer server(std::cin, std::cout);
    return server.run();
  });
}
