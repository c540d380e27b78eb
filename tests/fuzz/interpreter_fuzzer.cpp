// libFuzzer target: any bytes run as a script must neither crash nor hang. Each run may make
// a bounded number of loop passes and calls and allocate a bounded amount of memory, so that
// generated endless loops and runaway growth end quickly; what runs out fails the way it
// would on a real machine (the run stops, or the operation fails with "Out of memory").
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string_view>

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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Scripts read an empty standard input, print into nothing, and look for modules in an
  // empty folder.
  int null = open("/dev/null", O_RDWR);
  dup2(null, STDIN_FILENO);
  dup2(null, STDOUT_FILENO);
  char folder[] = "/tmp/vormel-fuzz-XXXXXX";
  if (mkdtemp(folder) == nullptr || chdir(folder) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view source(reinterpret_cast<const char*>(data), size);
  vormel::TokenList tokens = vormel::tokenize(source);
  vormel::StmtList program = vormel::parse_program(tokens);
  bytes_left = kBytesPerRun;
  vormel::g_steps_left = kStepsPerRun;
  in_run = true;
  try {
    vormel::run_program(program, false);
  } catch (const vormel::StepBudgetExhausted&) {
  } catch (const std::bad_alloc&) {
  }
  in_run = false;
  vormel::g_steps_left = UINT64_MAX;
  return 0;
}
