// libedit's readline interface: arrow keys, in-line editing and the session's history.
#include "repl_terminal_reader.hpp"

#ifdef VORMEL_HAVE_LIBEDIT
#include <editline/readline.h>

#include <clocale>
#include <cstdlib>
#endif

namespace vormel {

#ifdef VORMEL_HAVE_LIBEDIT
namespace {

class TerminalReader final : public LineReader {
 public:
  TerminalReader() {
    // libedit decodes typed multi-byte characters with the terminal's character set.
    std::setlocale(LC_CTYPE, "");
    // The program reads no configuration files: keep libedit from sourcing ~/.editrc.
    setenv("EDITRC", "/dev/null", 1);
    using_history();
    // Tab indents continuation lines instead of completing file names.
    rl_bind_key('\t', rl_insert);
  }

  bool read_line(const char* prompt, std::string& line) override {
    // Output still buffered must reach the screen before libedit draws the prompt.
    flush_prompt_or_exit();
    char* text = readline(prompt);
    if (text == nullptr) return false;
    line.assign(text);
    std::free(text);
    return true;
  }

  void remember(std::string_view line) override { add_history(std::string(line).c_str()); }
};

}  // namespace

std::unique_ptr<LineReader> make_terminal_reader() { return std::make_unique<TerminalReader>(); }
#else
std::unique_ptr<LineReader> make_terminal_reader() { return nullptr; }
#endif

}  // namespace vormel
