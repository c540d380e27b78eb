#include "interpreter/http/page_server.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#include "interpreter/http/network_switch.hpp"
#include "interpreter/http/owned_descriptor.hpp"
#include "interpreter/http/page_response.hpp"
#include "interpreter/http/request_path.hpp"
#include "interpreter/http/server_socket.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/messages.hpp"

namespace vormel::http {
namespace {

using Clock = ServerClock;

constexpr size_t kBytesPerTurn = 256 * 1024;

enum class Phase { AwaitRequest, Respond, Drain, Closed };

struct Connection {
  OwnedDescriptor socket;
  Phase phase = Phase::AwaitRequest;
  Clock::time_point deadline;
  PageResponse response;
  size_t sent = 0;
  size_t drained = 0;
};

void close_connection(Connection& connection) {
  connection.socket.reset();
  connection.phase = Phase::Closed;
}

// Writes as much of the response as the socket takes now; once all is written, shuts the
// sending side and starts the drain.
void continue_response(Connection& connection, const ServerLimits& limits) {
  const PageResponse& response = connection.response;
  // A fair share per turn, so that one fast reader of a large page does not keep the thread.
  const size_t turn_end = connection.sent + kBytesPerTurn;
  while (connection.sent < response.size()) {
    if (connection.sent >= turn_end) return;
    // The head and the content in one call, from where the last write stopped.
    iovec pieces[2];
    size_t count = 0;
    size_t skip = connection.sent;
    auto add_piece = [&](const std::string& text) {
      if (skip >= text.size()) {
        skip -= text.size();
        return;
      }
      pieces[count++] = {const_cast<char*>(text.data()) + skip, text.size() - skip};
      skip = 0;
    };
    add_piece(response.head);
    if (response.content) add_piece(*response.content);
    msghdr message{};
    message.msg_iov = pieces;
    message.msg_iovlen = count;
    ssize_t wrote = ::sendmsg(connection.socket.get(), &message, MSG_NOSIGNAL);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (wrote <= 0) {  // a write failure is not reported: the connection just ends
      close_connection(connection);
      return;
    }
    connection.sent += static_cast<size_t>(wrote);
    connection.deadline = Clock::now() + limits.write_stall;
  }
  connection.response = PageResponse{};
  ::shutdown(connection.socket.get(), SHUT_WR);
  connection.phase = Phase::Drain;
  connection.deadline = Clock::now() + limits.drain_time;
}

// The one receive of the request, then the response.
void answer_request(Connection& connection, const ServerLimits& limits) {
  char buffer[kRequestBytes] = {};
  ssize_t got;
  do {
    got = ::recv(connection.socket.get(), buffer, sizeof buffer, 0);
  } while (got < 0 && errno == EINTR);
  if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;  // woken without data
  if (got < 0) {  // a failed receive gets no answer
    close_connection(connection);
    return;
  }
  connection.response =
      response_for_path(request_path(std::string_view(buffer, static_cast<size_t>(got))));
  connection.phase = Phase::Respond;
  connection.deadline = Clock::now() + limits.write_stall;
  continue_response(connection, limits);
}

// Reads and discards what the client still sends, until it closes or a bound is reached.
void continue_drain(Connection& connection, const ServerLimits& limits) {
  char scratch[16384];
  for (;;) {
    ssize_t got = ::recv(connection.socket.get(), scratch, sizeof scratch, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (got <= 0) break;
    connection.drained += static_cast<size_t>(got);
    if (connection.drained >= limits.drain_bytes) break;
  }
  close_connection(connection);
}

class PageServer {
 public:
  PageServer(OwnedDescriptor listener, const ServerLimits& limits)
      : listener_(std::move(listener)), limits_(limits), cap_(connection_cap(limits)) {}

  [[noreturn]] void run() {
    std::vector<pollfd> waits;
    for (;;) {
      close_expired(connections_, [](Connection& c) { close_connection(c); });
      waits.clear();
      bool accepting = connections_.size() < cap_ && Clock::now() >= accept_resume_;
      waits.push_back({listener_.get(), static_cast<short>(accepting ? POLLIN : 0), 0});
      for (const Connection& connection : connections_)
        waits.push_back({connection.socket.get(),
                         static_cast<short>(connection.phase == Phase::Respond ? POLLOUT : POLLIN),
                         0});
      // Ctrl-C in the REPL ends serving here; the listener and connections close as it unwinds.
      int ready = poll_or_interrupt(waits.data(), waits.size(),
                                    wait_milliseconds(connections_, accept_resume_));
      if (ready < 0) continue;  // another signal: look again
      // Connections first: the indices of `waits` follow `connections_` until accepts append.
      for (size_t i = 0; i < connections_.size(); ++i)
        if (waits[i + 1].revents != 0) advance(connections_[i]);
      std::erase_if(connections_, [](const Connection& c) { return c.phase == Phase::Closed; });
      if (waits[0].revents & POLLIN) accept_waiting();
    }
  }

 private:
  void advance(Connection& connection) {
    switch (connection.phase) {
      case Phase::AwaitRequest: answer_request(connection, limits_); break;
      case Phase::Respond: continue_response(connection, limits_); break;
      case Phase::Drain: continue_drain(connection, limits_); break;
      case Phase::Closed: break;
    }
  }

  void accept_waiting() {
    http::accept_waiting(
        listener_.get(), accept_resume_, [this] { return connections_.size() < cap_; },
        [this](OwnedDescriptor socket) {
          Connection connection;
          connection.socket = std::move(socket);
          connection.deadline = Clock::now() + limits_.request_wait;
          // The request has usually arrived with the connection: answer it without a wait.
          answer_request(connection, limits_);
          if (connection.phase != Phase::Closed) connections_.push_back(std::move(connection));
        });
  }

  OwnedDescriptor listener_;
  ServerLimits limits_;
  size_t cap_;
  std::vector<Connection> connections_;
  Clock::time_point accept_resume_{};
};

}  // namespace

std::string serve_pages(uint16_t port, const ServerLimits& limits) {
  std::string port_text = std::to_string(port);
  print_line(format_message(messages::kHttpServerStarting, {port_text}));
  if (network_forbidden()) return std::string(messages::kHttpNetworkForbidden);
  Listener listener = bind_listener(port);
  if (!listener.socket.valid()) return system_error_text(listener.error_number);
  print_line(format_message(messages::kHttpServerListening, {std::to_string(listener.bound_port)}));
  PageServer(std::move(listener.socket), limits).run();
}

}  // namespace vormel::http
