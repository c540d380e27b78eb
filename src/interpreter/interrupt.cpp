// The SIGINT handler, the throw of an interrupt, and the clean-up after one.
#include "interpreter/interrupt.hpp"

#include <pthread.h>

#include <cerrno>
#include <csignal>
#include <ctime>

#include "interpreter/diagnostics.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/messages.hpp"

namespace vormel {
namespace {

extern "C" void request_interrupt(int) {
  g_interrupt_requested.store(true, std::memory_order_relaxed);
}

}  // namespace

void throw_interrupted() {
  // Consumed here: the statement it stops is the one that was running when it came.
  g_interrupt_requested.store(false, std::memory_order_relaxed);
  throw Interrupted{};
}

void catch_interrupts() {
  struct sigaction action = {};
  action.sa_handler = request_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(SIGINT, &action, nullptr);
}

int poll_or_interrupt(pollfd* waits, nfds_t count, int timeout_milliseconds) {
  sigset_t interrupts;
  sigset_t original;
  sigemptyset(&interrupts);
  sigaddset(&interrupts, SIGINT);
  pthread_sigmask(SIG_BLOCK, &interrupts, &original);
  int ready = -1;
  int error_number = EINTR;
  if (!g_interrupt_requested.load(std::memory_order_relaxed)) {
    const timespec timeout{timeout_milliseconds / 1000, (timeout_milliseconds % 1000) * 1'000'000L};
    ready = ::ppoll(waits, count, timeout_milliseconds < 0 ? nullptr : &timeout, &original);
    error_number = errno;
  }
  pthread_sigmask(SIG_SETMASK, &original, nullptr);
  if (ready < 0 && error_number == EINTR) check_interrupt();
  errno = error_number;
  return ready;
}

bool take_interrupt() { return g_interrupt_requested.exchange(false, std::memory_order_relaxed); }

void report_interrupt() { log_error(messages::kInterrupted); }

// The calls the interrupt unwound have already put back the bindings they shadowed (their
// scopes' destructors), so no call scope is open here; the depth test only guards against
// one left open. What remains is the return, break or continue left pending on the way.
void Interpreter::recover_from_interrupt() {
  if (scope_depth_ > 0) {
    restore_saved(0);
    scope_depth_ = 0;
  }
  returned_ = Value();
  pending_ = kFlowNormal;
}

}  // namespace vormel
