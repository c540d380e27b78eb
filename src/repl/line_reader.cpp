// The plain reader (stdio, shared with the `input` built-in so that both consume the same
// buffered stream) and the choice between it and the terminal reader.
#include "repl/line_reader.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "repl/terminal_reader.hpp"

namespace vormel {
namespace {

class StreamReader final : public LineReader {
 public:
  bool read_line(const char* prompt, std::string& line) override {
    std::fputs(prompt, stdout);
    flush_prompt_or_exit();
    line.clear();
    int c;
    while ((c = std::getc(stdin)) != EOF) {
      line.push_back(static_cast<char>(c));
      if (c == '\n') return true;
    }
    // A last line without a line feed still counts; a read error ends the session.
    return !line.empty() && !std::ferror(stdin);
  }
};

}  // namespace

void flush_prompt_or_exit() {
  if (std::fflush(stdout) == 0) return;
  const int error = errno;
  std::fprintf(stderr, "Error: Failed to flush standard output: %s\n", std::strerror(error));
  // Standard output is unusable, so nothing is left to flush or release on the way out.
  std::_Exit(kFlushFailureStatus);
}

std::unique_ptr<LineReader> make_line_reader() {
  if (isatty(STDIN_FILENO)) {
    if (auto terminal = make_terminal_reader()) return terminal;
  }
  return std::make_unique<StreamReader>();
}

}  // namespace vormel
