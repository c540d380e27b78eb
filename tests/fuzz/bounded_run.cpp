#include "bounded_run.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "interpreter/diagnostics.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/library/script_process.hpp"
#include "interpreter/step_budget.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace {

constexpr size_t kLargestAllocation = size_t{16} << 20;
constexpr size_t kBytesPerRun = size_t{256} << 20;
constexpr uint64_t kStepsPerRun = 5000;

bool in_run = false;  // the bounds hold while a script runs, not for the fuzzer's own work
size_t bytes_left = 0;

// Every plain form of new and delete is replaced, so that all of them pair malloc with free.
void* allocate(size_t size) {
  if (in_run) {
    if (size > kLargestAllocation || size > bytes_left) return nullptr;
    bytes_left -= size;
  }
  return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace fuzzing {

char g_folder[] = "/tmp/vormel-fuzz-XXXXXX";

void prepare_process() {
  int null = open("/dev/null", O_RDWR);
  dup2(null, STDIN_FILENO);
  dup2(null, STDOUT_FILENO);
  if (mkdtemp(g_folder) == nullptr || chdir(g_folder) != 0) std::abort();
  // The folder stays empty (scripts cannot change files in fuzzing builds): it goes when the
  // fuzzer ends.
  std::atexit([] { rmdir(g_folder); });
  // Windows open on SDL's display-less driver: the drawing code runs, no X server or GPU
  // driver is touched.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
}

BoundedRun run_bounded(std::string_view source, bool trace) {
  vormel::TokenList tokens = vormel::tokenize(source);
  vormel::StmtList program = vormel::parse_program(tokens);
  bytes_left = kBytesPerRun;
  vormel::g_steps_left = kStepsPerRun;
  BoundedRun run;
  in_run = true;
  try {
    vormel::run_program(program, trace);
  } catch (const vormel::StepBudgetExhausted&) {
    run.end = BoundedRun::End::OutOfSteps;
  } catch (const std::bad_alloc&) {
    run.end = BoundedRun::End::OutOfMemory;
  } catch (const vormel::ScriptExit&) {
    // system.exit ends the script as its last statement would.
  }
  in_run = false;
  run.steps = kStepsPerRun - vormel::g_steps_left;
  vormel::g_steps_left = UINT64_MAX;
  vormel::set_debug_enabled(false);
  return run;
}

}  // namespace fuzzing
