// libFuzzer target: every script shows the same thing with the evaluator's shortcuts on and
// off. Each input runs twice in this process, once down each path, with its standard output
// and standard error captured; any difference aborts with both texts.
//
// Runs that hit a bound of the run, or a limit whose place depends on how much memory or
// native stack a path uses ("Out of memory", the nesting and recursion limits), are not
// compared: the shortcuts exist to use less of both. Nor are scripts that read the frame
// clock (sdl2.delta_time, which no script can call without naming it): its value differs
// from run to run.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bounded_run.hpp"
#include "interpreter/builtins/random_generator.hpp"
#include "interpreter/shortcuts.hpp"

namespace {

struct Shown {
  std::string out;
  std::string err;
  bool finished = false;
};

// Everything written to `fd` while `work` runs.
class Capture {
 public:
  explicit Capture(int fd) : fd_(fd), file_(memfd_create("capture", 0)), saved_(dup(fd)) {
    if (file_ < 0 || saved_ < 0) std::abort();
    dup2(file_, fd_);
  }
  std::string finish() {
    dup2(saved_, fd_);
    close(saved_);
    std::string text;
    char buffer[4096];
    lseek(file_, 0, SEEK_SET);
    for (ssize_t n; (n = read(file_, buffer, sizeof buffer)) > 0;)
      text.append(buffer, static_cast<size_t>(n));
    close(file_);
    return text;
  }

 private:
  int fd_;
  int file_;
  int saved_;
};

Shown run(std::string_view source, bool shortcuts) {
  vormel::g_shortcuts_enabled = shortcuts;
  // Both runs draw the same random numbers.
  vormel::thread_random_generator() =
      vormel::RandomGenerator([](std::span<uint8_t, vormel::RandomGenerator::kSeedBytes> seed) {
        for (uint8_t& byte : seed) byte = 7;
      });
  std::fflush(stdout);
  std::fflush(stderr);
  Capture out(STDOUT_FILENO);
  Capture err(STDERR_FILENO);
  Shown shown;
  shown.finished = fuzzing::run_bounded(source);
  std::fflush(stdout);
  std::fflush(stderr);
  shown.err = err.finish();
  shown.out = out.finish();
  vormel::g_shortcuts_enabled = true;
  return shown;
}

bool comparable(const Shown& shown) {
  return shown.finished && shown.err.find("Out of memory") == std::string::npos &&
         shown.err.find("Maximum nesting depth exceeded") == std::string::npos &&
         shown.err.find("Maximum recursion depth exceeded") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::prepare_process();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view source(reinterpret_cast<const char*>(data), size);
  Shown fast = run(source, true);
  Shown general = run(source, false);
  if (!comparable(fast) || !comparable(general)) return 0;
  if (source.find("delta_time") != std::string_view::npos) return 0;
  if (fast.out != general.out || fast.err != general.err) {
    std::fprintf(stderr,
                 "The shortcuts disagree with the general paths.\n--- with shortcuts: stdout\n"
                 "%s--- stderr\n%s--- without: stdout\n%s--- stderr\n%s",
                 fast.out.c_str(), fast.err.c_str(), general.out.c_str(), general.err.c_str());
    std::abort();
  }
  return 0;
}
