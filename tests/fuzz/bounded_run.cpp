#include "bounded_run.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "interpreter/interpreter.hpp"
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

void prepare_process() {
  int null = open("/dev/null", O_RDWR);
  dup2(null, STDIN_FILENO);
  dup2(null, STDOUT_FILENO);
  char folder[] = "/tmp/vormel-fuzz-XXXXXX";
  if (mkdtemp(folder) == nullptr || chdir(folder) != 0) std::abort();
  // Windows open on SDL's display-less driver: the drawing code runs, no X server or GPU
  // driver is touched.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
}

bool run_bounded(std::string_view source) {
  vormel::TokenList tokens = vormel::tokenize(source);
  vormel::StmtList program = vormel::parse_program(tokens);
  bytes_left = kBytesPerRun;
  vormel::g_steps_left = kStepsPerRun;
  bool finished = false;
  in_run = true;
  try {
    vormel::run_program(program, false);
    finished = true;
  } catch (const vormel::StepBudgetExhausted&) {
  } catch (const std::bad_alloc&) {
  }
  in_run = false;
  vormel::g_steps_left = UINT64_MAX;
  return finished;
}

}  // namespace fuzzing
