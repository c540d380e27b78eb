// libFuzzer target: any bytes through the lexer and the parser must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view source(reinterpret_cast<const char*>(data), size);
  vormel::TokenList tokens = vormel::tokenize(source);
  vormel::StmtList program = vormel::parse_program(tokens);
  return 0;
}
