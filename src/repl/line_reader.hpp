// Where the REPL's lines come from: standard input as it is, or libedit at a terminal.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vormel {

class LineReader {
 public:
  virtual ~LineReader() = default;
  // Shows `prompt`, then reads one line into `line` (with or without its line feed). False
  // at the end of input before any character, and when reading fails.
  virtual bool read_line(const char* prompt, std::string& line) = 0;
  // Offers an entered (trimmed, non-empty) line to the session's history.
  virtual void remember(std::string_view /*line*/) {}
};

// libedit when standard input is a terminal and the build has it; otherwise plain stdio, so
// that piped input produces exactly the prompts and the program's own output.
std::unique_ptr<LineReader> make_line_reader();

// Flushes standard output before reading; if that fails the session cannot show anything
// any more, so the process ends with a message on standard error and kFlushFailureStatus.
void flush_prompt_or_exit();
inline constexpr int kFlushFailureStatus = 74;  // EX_IOERR

}  // namespace vormel
