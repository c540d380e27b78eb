// libedit's readline interface: arrow keys, in-line editing and the session's history.
// libedit (libedit.so.2) is loaded when the first terminal session starts, so that running a
// script does not pay for loading it and the libraries it needs.
#include "repl/terminal_reader.hpp"

#ifdef VORMEL_HAVE_LIBEDIT
#include <editline/readline.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "interpreter/interrupt.hpp"
#include "support/shared_library.hpp"
#endif

namespace vormel {

#ifdef VORMEL_HAVE_LIBEDIT
namespace {

// One byte of the terminal, waiting in short polls so that a Ctrl-C ends the wait whenever
// it comes: the signal alone interrupts a read only if it arrives during the read itself.
// -1 at the end of input, or when interrupted.
int read_byte(int fd) {
  for (;;) {
    if (g_interrupt_requested.load(std::memory_order_relaxed)) return -1;
    pollfd ready = {fd, POLLIN, 0};
    int events = poll(&ready, 1, 50);
    if (events < 0 && errno != EINTR) return -1;
    if (events <= 0) continue;
    unsigned char byte;
    ssize_t n = read(fd, &byte, 1);
    if (n == 1) return byte;
    if (n == 0 || errno != EINTR) return -1;
  }
}

// libedit's character source: whole UTF-8 characters, as code points (libedit takes the
// value for the character itself).
int read_character(FILE* stream) {
  const int fd = fileno(stream);
  int lead = read_byte(fd);
  if (lead < 0x80) return lead;  // ASCII, or -1
  const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  char32_t code = static_cast<char32_t>(lead) & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    int next = read_byte(fd);
    if (next < 0) return -1;
    code = (code << 6) | (static_cast<char32_t>(next) & 0x3F);
  }
  return length == 1 ? 0xFFFD : static_cast<int>(code);
}

// The part of libedit the reader uses.
struct Editline {
  decltype(&readline) read = nullptr;
  decltype(&add_history) add = nullptr;
};

// libedit's functions, set up for the session; false if the library cannot be loaded.
bool load_editline(Editline& editline) {
  void* library = open_library("libedit.so.2");
  if (library == nullptr) return false;
  decltype(&rl_getc_function) getc_function = nullptr;
  decltype(&using_history) use_history = nullptr;
  decltype(&rl_bind_key) bind_key = nullptr;
  decltype(&rl_insert) insert = nullptr;
  if (!look_up(library, "rl_getc_function", getc_function) ||
      !look_up(library, "using_history", use_history) ||
      !look_up(library, "rl_bind_key", bind_key) || !look_up(library, "rl_insert", insert) ||
      !look_up(library, "readline", editline.read) ||
      !look_up(library, "add_history", editline.add)) {
    dlclose(library);
    return false;
  }
  *getc_function = read_character;
  // libedit decodes typed multi-byte characters with the terminal's character set.
  std::setlocale(LC_CTYPE, "");
  // The program reads no configuration files: keep libedit from sourcing ~/.editrc.
  setenv("EDITRC", "/dev/null", 1);
  use_history();
  // Tab indents continuation lines instead of completing file names.
  bind_key('\t', insert);
  return true;
}

class TerminalReader final : public LineReader {
 public:
  explicit TerminalReader(const Editline& editline) : editline_(editline) {}

  bool read_line(const char* prompt, std::string& line) override {
    // Output still buffered must reach the screen before libedit draws the prompt.
    flush_prompt_or_exit();
    char* text = editline_.read(prompt);
    if (text == nullptr) return false;
    line.assign(text);
    std::free(text);
    return true;
  }

  void remember(std::string_view line) override { editline_.add(std::string(line).c_str()); }

 private:
  Editline editline_;
};

}  // namespace

std::unique_ptr<LineReader> make_terminal_reader() {
  Editline editline;
  if (!load_editline(editline)) return nullptr;
  return std::make_unique<TerminalReader>(editline);
}
#else
std::unique_ptr<LineReader> make_terminal_reader() { return nullptr; }
#endif

}  // namespace vormel
