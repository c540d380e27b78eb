// libFuzzer target: any bytes through the checker must neither crash nor hang, and the
// lexer's position trace and the parser's listener must leave tokens and trees unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "checker/check.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace {

struct SilentListener : vormel::ParseListener {
  void recovered(vormel::ParseIssue, size_t, size_t) override {}
  void statement_parsed(const vormel::Stmt&, size_t) override {}
  void expression_parsed(const vormel::Expr&, size_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view source(reinterpret_cast<const char*>(data), size);
  vormel::LexTrace trace;
  vormel::TokenList tokens = vormel::tokenize(source, trace);
  if (tokens != vormel::tokenize(source) || trace.token_starts.size() != tokens.size()) abort();
  SilentListener listener;
  if (debug_text(vormel::parse_program(tokens, &listener)) !=
      debug_text(vormel::parse_program(tokens)))
    abort();
  vormel::check_source(source, vormel::CheckOptions{});
  return 0;
}
