#include "interpreter/http/web_server.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "interpreter/http/network_switch.hpp"
#include "interpreter/http/server_socket.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/messages.hpp"

namespace vormel::http {
namespace {

using Clock = ServerClock;

constexpr size_t kReceiveBytes = 16 * 1024;
// A large file goes out in pieces of this size, each read when the one before it is sent.
constexpr size_t kFilePieceBytes = 256 * 1024;

enum class Phase { Reading, Responding, Draining, Closed };

struct Connection {
  OwnedDescriptor socket;
  Phase phase = Phase::Reading;
  Clock::time_point deadline;
  // The parser keeps a pointer to its reader, so the reader stays where it is.
  std::unique_ptr<WebRequestReader> reader = std::make_unique<WebRequestReader>();
  std::string unread;  // received bytes after a whole request: the next request's
  std::string out;
  size_t sent = 0;
  std::shared_ptr<OwnedDescriptor> file;  // what remains of a file response
  size_t file_sent = 0;
  size_t file_length = 0;
  bool close_after = false;
  size_t drained = 0;
};

class WebServer {
 public:
  WebServer(OwnedDescriptor listener, const WebHandler& handler, const ServerLimits& limits)
      : listener_(std::move(listener)),
        handler_(handler),
        limits_(limits),
        cap_(connection_cap(limits)) {}

  [[noreturn]] void run() {
    std::vector<pollfd> waits;
    for (;;) {
      close_expired(connections_, [](Connection& c) { close_connection(c); });
      waits.clear();
      bool accepting = connections_.size() < cap_ && Clock::now() >= accept_resume_;
      waits.push_back({listener_.get(), static_cast<short>(accepting ? POLLIN : 0), 0});
      for (const Connection& connection : connections_)
        waits.push_back(
            {connection.socket.get(),
             static_cast<short>(connection.phase == Phase::Responding ? POLLOUT : POLLIN), 0});
      int ready = poll_or_interrupt(waits.data(), waits.size(),
                                    wait_milliseconds(connections_, accept_resume_));
      if (ready < 0) continue;
      for (size_t i = 0; i < connections_.size(); ++i)
        if (waits[i + 1].revents != 0) advance(connections_[i]);
      std::erase_if(connections_, [](const Connection& c) { return c.phase == Phase::Closed; });
      if (waits[0].revents & POLLIN) accept_waiting();
    }
  }

 private:
  static void close_connection(Connection& connection) {
    connection.socket.reset();
    connection.file.reset();
    connection.phase = Phase::Closed;
  }

  void advance(Connection& connection) {
    switch (connection.phase) {
      case Phase::Reading: receive(connection); break;
      case Phase::Responding: continue_response(connection); break;
      case Phase::Draining: continue_drain(connection); break;
      case Phase::Closed: break;
    }
  }

  void receive(Connection& connection) {
    char buffer[kReceiveBytes];
    ssize_t got;
    do {
      got = ::recv(connection.socket.get(), buffer, sizeof buffer, 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (got < 0) {
      close_connection(connection);
      return;
    }
    if (got == 0) {
      WebRequestReader& reader = *connection.reader;
      bool was_in_request = reader.in_request();
      reader.finish();
      if (!reader.has_request() && !(was_in_request && reader.refusal() != 0)) {
        close_connection(connection);
        return;
      }
      connection.close_after = true;
    } else {
      connection.unread.append(buffer, static_cast<size_t>(got));
    }
    read_requests(connection);
  }

  // Feeds what has arrived to the reader; a whole request (or a refusal) is answered.
  void read_requests(Connection& connection) {
    WebRequestReader& reader = *connection.reader;
    size_t used = reader.feed(connection.unread);
    connection.unread.erase(0, used);
    if (reader.refusal() != 0) {
      connection.unread.clear();
      start_response(connection, status_page(reader.refusal()), true);
    } else if (reader.has_request()) {
      WebRequest request = reader.take_request();
      bool closing = connection.close_after || !request.keep_alive;
      start_response(connection, handler_(request), closing, request.version_1_0);
    }
  }

  void start_response(Connection& connection, const WebResponse& response, bool closing,
                      bool say_keep_alive = false) {
    connection.out = response_bytes(response, closing, say_keep_alive);
    connection.sent = 0;
    connection.file = response.headers_only ? nullptr : response.file;
    connection.file_sent = 0;
    connection.file_length = response.file_length;
    connection.close_after = closing;
    connection.phase = Phase::Responding;
    connection.deadline = Clock::now() + limits_.write_stall;
    continue_response(connection);
  }

  // Reads the next piece of a file response into `out`. False when the file cannot give it
  // (it shrank or failed): the length was promised, so the connection closes.
  static bool read_file_piece(Connection& connection) {
    size_t want = std::min(kFilePieceBytes, connection.file_length - connection.file_sent);
    connection.out.resize(want);
    ssize_t got;
    do {
      got = ::pread(connection.file->get(), connection.out.data(), want,
                    static_cast<off_t>(connection.file_sent));
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return false;
    connection.out.resize(static_cast<size_t>(got));
    connection.sent = 0;
    connection.file_sent += static_cast<size_t>(got);
    return true;
  }

  void continue_response(Connection& connection) {
    for (;;) {
      while (connection.sent < connection.out.size()) {
        ssize_t wrote = ::send(connection.socket.get(), connection.out.data() + connection.sent,
                               connection.out.size() - connection.sent, MSG_NOSIGNAL);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (wrote <= 0) {
          close_connection(connection);
          return;
        }
        connection.sent += static_cast<size_t>(wrote);
        connection.deadline = Clock::now() + limits_.write_stall;
      }
      if (connection.file == nullptr) break;
      if (connection.file_sent == connection.file_length) {
        connection.file.reset();
        connection.out = std::string();  // no piece's buffer stays with an idle connection
        break;
      }
      if (!read_file_piece(connection)) {
        close_connection(connection);
        return;
      }
    }
    connection.out.clear();
    if (connection.close_after) {
      // As the page server does: the client reads the response before the close.
      ::shutdown(connection.socket.get(), SHUT_WR);
      connection.phase = Phase::Draining;
      connection.deadline = Clock::now() + limits_.drain_time;
      return;
    }
    connection.phase = Phase::Reading;
    connection.deadline = Clock::now() + limits_.request_wait;
    // A pipelined request may be waiting already.
    if (!connection.unread.empty()) read_requests(connection);
  }

  void continue_drain(Connection& connection) {
    char scratch[kReceiveBytes];
    for (;;) {
      ssize_t got = ::recv(connection.socket.get(), scratch, sizeof scratch, 0);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      if (got <= 0) break;
      connection.drained += static_cast<size_t>(got);
      if (connection.drained >= limits_.drain_bytes) break;
    }
    close_connection(connection);
  }

  void accept_waiting() {
    http::accept_waiting(
        listener_.get(), accept_resume_, [this] { return connections_.size() < cap_; },
        [this](OwnedDescriptor socket) {
          Connection connection;
          connection.socket = std::move(socket);
          connection.deadline = Clock::now() + limits_.request_wait;
          connections_.push_back(std::move(connection));
        });
  }

  OwnedDescriptor listener_;
  const WebHandler& handler_;
  ServerLimits limits_;
  size_t cap_;
  std::vector<Connection> connections_;
  Clock::time_point accept_resume_{};
};

}  // namespace

std::string serve_web(uint16_t port, in_addr_t address, std::string_view host,
                      const WebHandler& handler, const ServerLimits& limits) {
  print_line(format_message(messages::kWebServerStarting, {std::to_string(port)}));
  if (network_forbidden()) return std::string(messages::kHttpNetworkForbidden);
  Listener listener = bind_listener(port, address);
  if (!listener.socket.valid()) return system_error_text(listener.error_number);
  print_line(
      format_message(messages::kWebServerListening, {host, std::to_string(listener.bound_port)}));
  WebServer(std::move(listener.socket), handler, limits).run();
}

}  // namespace vormel::http
