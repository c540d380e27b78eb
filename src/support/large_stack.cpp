#include "support/large_stack.hpp"

#include <alloca.h>
#include <pthread.h>
#include <signal.h>

#include <cstdint>

#include "support/stack_guard.hpp"

namespace vormel {
namespace {

struct Job {
  const std::function<int()>* work;
  int status = 0;
};

void* run_job(void* arg) {
  auto* job = static_cast<Job*>(arg);
  job->status = (*job->work)();
  return nullptr;
}

bool run_on_thread(const std::function<int()>& work, size_t stack_bytes, int& status) {
  Job job{&work};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_t thread;
  bool started = pthread_attr_setstacksize(&attr, stack_bytes) == 0 &&
                 pthread_create(&thread, &attr, run_job, &job) == 0;
  pthread_attr_destroy(&attr);
  if (!started) return false;
  // The work thread alone takes Ctrl-C: the REPL's read must be the call that it interrupts.
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);
  pthread_join(thread, nullptr);
  status = job.status;
  return true;
}

// Makes the current thread's stack reach `bytes` below here now, so that the pages the guard
// counts on exist (a stack that cannot grow later, under a limit on the address space,
// would end the process instead).
[[gnu::noinline]] void grow_stack(size_t bytes) {
  auto* area = static_cast<volatile char*>(alloca(bytes));
  for (size_t offset = 0; offset < bytes; offset += 4096) area[offset] = 0;
}

}  // namespace

int run_with_large_stack(const std::function<int()>& work) {
  // Smaller stacks when the address space cannot hold the large one.
  for (size_t bytes = kLargeStackBytes; bytes >= kSmallestThreadStackBytes; bytes /= 4) {
    int status = 0;
    if (run_on_thread(work, bytes, status)) return status;
  }
  // No thread at all: the current one, whose guard trusts only a bounded stack.
  grow_stack(kMainThreadStackBytes - kStackReserveBytes);
  return work();
}

}  // namespace vormel
