// Ctrl-C in the REPL. The SIGINT handler only raises a process-wide flag; every loop pass and
// every user-function call checks it (one load and one branch) and, once it is raised, throws
// Interrupted. The exception unwinds the running statement to the REPL. Each call it unwinds
// puts back the bindings it shadowed as it goes (its scope's destructor); the REPL then
// reports the interrupt and clears the return, break or continue left pending
// (Interpreter::recover_from_interrupt), so that every variable and function defined before
// stays as it was.
//
// File mode installs no handler: there Ctrl-C ends the process as it always does.
#pragma once

#include <poll.h>

#include <atomic>

namespace vormel {

struct Interrupted {};

inline std::atomic<bool> g_interrupt_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler stores to it");

[[noreturn, gnu::cold, gnu::noinline]] void throw_interrupted();

[[gnu::always_inline]] inline void check_interrupt() {
  if (g_interrupt_requested.load(std::memory_order_relaxed)) [[unlikely]]
    throw_interrupted();
}

// Installs the SIGINT handler. Without SA_RESTART, so that a blocking read (input() waiting
// for a line) returns at once instead of after the next Enter.
void catch_interrupts();

// poll() for the waits of the HTTP server and client. SIGINT is let through only while the
// call waits, so a Ctrl-C that comes just before it cannot be missed: a Ctrl-C, before or
// during the wait, stops the statement (check_interrupt). Otherwise as poll(), EINTR
// included for other signals.
int poll_or_interrupt(pollfd* waits, nfds_t count, int timeout_milliseconds);

// Whether a Ctrl-C arrived since the last call; clears the request.
bool take_interrupt();

// Writes the ERROR line of an interrupted statement.
void report_interrupt();

}  // namespace vormel
