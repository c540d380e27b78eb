#include "support/large_stack.hpp"

#include <pthread.h>
#include <signal.h>

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

}  // namespace

int run_with_large_stack(const std::function<int()>& work) {
  Job job{&work};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_t thread;
  bool started = pthread_attr_setstacksize(&attr, kLargeStackBytes) == 0 &&
                 pthread_create(&thread, &attr, run_job, &job) == 0;
  pthread_attr_destroy(&attr);
  if (!started) return work();  // fall back to the current stack
  // The work thread alone takes Ctrl-C: the REPL's read must be the call that it interrupts.
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);
  pthread_join(thread, nullptr);
  return job.status;
}

}  // namespace vormel
