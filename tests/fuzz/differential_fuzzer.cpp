// libFuzzer target: every script shows the same thing with the evaluator's shortcuts on and
// off, and with the debug trace (the -D option) on as well as off. Each input runs down each
// path in this process, untraced and then (when that finished) traced, with its standard
// output and standard error captured; any difference aborts with both texts.
//
// Both paths make the same loop passes and calls, so the step budget must stop both or
// neither, and a finished run must have spent the same steps on both: a budget stop is
// never taken for a difference, nor does it hide one.
//
// Runs that hit a limit whose place depends on how much memory or native stack a path uses
// ("Out of memory", the nesting and recursion limits) are not compared: the shortcuts exist
// to use less of both. Nor is what runs cut short by the step budget show (it ends where the
// budget ran out), nor any of a script that reads a clock (sdl2.delta_time, or the "time"
// module's, which no script can reach without naming it): its value differs from run to run.
// Nor is a script that names /proc, whose files (the process's own mappings, say) change
// between the two runs.
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
  fuzzing::BoundedRun run;
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

Shown run(std::string_view source, bool shortcuts, bool trace) {
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
  shown.run = fuzzing::run_bounded(source, trace);
  std::fflush(stdout);
  std::fflush(stderr);
  shown.err = err.finish();
  shown.out = out.finish();
  vormel::g_shortcuts_enabled = true;
  return shown;
}

bool reached_a_path_dependent_limit(const Shown& shown) {
  return shown.run.end == fuzzing::BoundedRun::End::OutOfMemory ||
         shown.err.find("Out of memory") != std::string::npos ||
         shown.err.find("Maximum nesting depth exceeded") != std::string::npos ||
         shown.err.find("Maximum recursion depth exceeded") != std::string::npos;
}

const char* end_text(const fuzzing::BoundedRun& run) {
  return run.finished() ? "finished" : "ran out of steps";
}

[[noreturn]] void disagree(const char* what, bool trace, const Shown& fast, const Shown& general) {
  std::fprintf(stderr,
               "The shortcuts disagree with the general paths on %s (debug trace %s).\n"
               "--- with shortcuts: %s after %llu steps; stdout\n%s--- stderr\n%s"
               "--- without: %s after %llu steps; stdout\n%s--- stderr\n%s",
               what, trace ? "on" : "off", end_text(fast.run),
               static_cast<unsigned long long>(fast.run.steps), fast.out.c_str(), fast.err.c_str(),
               end_text(general.run), static_cast<unsigned long long>(general.run.steps),
               general.out.c_str(), general.err.c_str());
  std::abort();
}

// Whether the runs were compared in full (both finished within every limit).
bool compare_paths(std::string_view source, bool trace) {
  Shown fast = run(source, true, trace);
  Shown general = run(source, false, trace);
  if (reached_a_path_dependent_limit(fast) || reached_a_path_dependent_limit(general)) return false;
  if (fast.run.end != general.run.end ||
      (fast.run.finished() && fast.run.steps != general.run.steps))
    disagree("the steps spent", trace, fast, general);
  if (!fast.run.finished()) return false;
  if (fast.out != general.out || fast.err != general.err)
    disagree("what the script shows", trace, fast, general);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::prepare_process();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view source(reinterpret_cast<const char*>(data), size);
  if (source.find("delta_time") != std::string_view::npos) return 0;
  if (source.find("time") != std::string_view::npos) return 0;   // the clock of the time module
  if (source.find("/proc") != std::string_view::npos) return 0;  // the process's own state
  // The trace adds lines, not steps: a script that did not finish untraced is not run again.
  if (compare_paths(source, false)) compare_paths(source, true);
  return 0;
}
