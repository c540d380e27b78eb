// print and input. Standard output is line-buffered (set up by the driver), so each
// printed line is flushed as it ends.
#include <cstdio>
#include <string>

#include "interpreter/builtins/builtin_handlers.hpp"
#include "interpreter/interrupt.hpp"
#include "support/text_format.hpp"

namespace vormel {

Value builtin_print(std::span<Value> args) {
  std::string line;
  for (const Value& value : args) {
    line.clear();
    append_display_text(line, value);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return Value::null();
}

Value builtin_input(std::span<Value> args) {
  std::string prompt = display_text(args[0]);
  std::fwrite(prompt.data(), 1, prompt.size(), stdout);
  std::fflush(stdout);
  std::string line;
  for (int c; (c = std::getchar()) != EOF;) {
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  check_interrupt();  // a Ctrl-C that cut the wait short stops the statement
  if (!is_valid_utf8(line)) return Value::string("");
  return Value::string(std::string(trim_white_space(line)));
}

}  // namespace vormel
