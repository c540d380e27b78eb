// What the servers of this folder share: a non-blocking listening socket, the number of
// connections the process's descriptor limit allows, and the lines they print.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "interpreter/http/owned_descriptor.hpp"
#include "interpreter/http/page_server.hpp"

namespace vormel::http {

struct Listener {
  OwnedDescriptor socket;
  uint16_t bound_port = 0;
  int error_number = 0;
};

// Binds and listens on `address` (network byte order; loopback unless asked otherwise).
// `share_port` sets SO_REUSEPORT, so that several processes that all ask for it listen on
// one port and the system spreads new connections among them; without it a busy port fails.
Listener bind_listener(uint16_t port, in_addr_t address = htonl(INADDR_LOOPBACK),
                       bool share_port = false);

// Descriptors a server may hold at once, leaving room for the rest of the process.
size_t connection_cap(const ServerLimits& limits);

// One line on standard output, flushed: the start-up lines are what a caller waits for.
void print_line(std::string_view line);

// The "Connection error" line on standard error, for a failed accept.
void report_connection_error(int error_number);

// The deadlines of a server's connections (each has `deadline` and `phase`, with
// Phase::Closed once closed), shared by both servers' poll loops.
using ServerClock = std::chrono::steady_clock;

// Closes (by `close`) the connections whose deadline has passed, and forgets closed ones.
template <typename Connection, typename Close>
void close_expired(std::vector<Connection>& connections, Close close) {
  const ServerClock::time_point now = ServerClock::now();
  for (Connection& connection : connections)
    if (connection.deadline <= now) close(connection);
  std::erase_if(connections,
                [](const Connection& c) { return c.phase == decltype(c.phase)::Closed; });
}

// Accepts the connections waiting on `listener` while `room()` holds, in a bounded batch so
// that a flood of connections cannot starve the open ones, handing each to `take`. Out of
// descriptors or memory, it reports the error and pauses accepting for a moment
// (`accept_resume`), to let open connections finish.
template <typename Room, typename Take>
void accept_waiting(int listener, ServerClock::time_point& accept_resume, Room room, Take take) {
  for (int batch = 0; batch < 64 && room(); ++batch) {
    int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      int error_number = errno;
      if (error_number == EAGAIN || error_number == EWOULDBLOCK || error_number == EINTR) return;
      report_connection_error(error_number);
      if (error_number == EMFILE || error_number == ENFILE || error_number == ENOBUFS ||
          error_number == ENOMEM) {
        accept_resume = ServerClock::now() + std::chrono::milliseconds(100);
        return;
      }
      continue;
    }
    take(OwnedDescriptor(fd));
  }
}

// How long a poll may wait: until the nearest deadline or the end of an accept pause, at
// most a minute; forever (-1) when idle.
template <typename Connection>
int wait_milliseconds(const std::vector<Connection>& connections,
                      ServerClock::time_point accept_resume) {
  const ServerClock::time_point now = ServerClock::now();
  ServerClock::time_point wake = ServerClock::time_point::max();
  for (const Connection& connection : connections) wake = std::min(wake, connection.deadline);
  if (accept_resume > now) wake = std::min(wake, accept_resume);
  if (wake == ServerClock::time_point::max()) return -1;
  if (wake <= now) return 0;
  auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
  return static_cast<int>(std::min<decltype(wait)>(wait, 60'000));
}

}  // namespace vormel::http
