#include "interpreter/http/http_client.hpp"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>

#include "interpreter/http/network_switch.hpp"
#include "interpreter/http/owned_descriptor.hpp"
#include "interpreter/http/url_parts.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/messages.hpp"
#include "support/text_format.hpp"

namespace vormel::http {
namespace {

RequestOutcome failure(std::string_view message, std::string_view cause) {
  return {false, format_message(message, {cause})};
}

// Waits until `fd` is ready for `events`; false (errno ETIMEDOUT) after `timeout` of nothing.
// Other signals do not restart the time-out; Ctrl-C in the REPL stops the statement.
bool wait_ready(int fd, short events, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  pollfd wait{fd, events, 0};
  for (;;) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    int ready = poll_or_interrupt(&wait, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
    if (ready > 0) return true;
    if (ready == 0) {
      errno = ETIMEDOUT;
      return false;
    }
    if (errno != EINTR) return false;
  }
}

// Opens a connection to one resolved address; on failure the socket is invalid and errno set.
OwnedDescriptor connect_to(const addrinfo& address, std::chrono::milliseconds timeout) {
  OwnedDescriptor socket(::socket(
      address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol));
  if (!socket.valid()) return socket;
  if (::connect(socket.get(), address.ai_addr, address.ai_addrlen) == 0) return socket;
  if (errno != EINPROGRESS) {
    int error_number = errno;
    socket.reset();
    errno = error_number;
    return socket;
  }
  if (!wait_ready(socket.get(), POLLOUT, timeout)) {
    int error_number = errno;
    socket.reset();
    errno = error_number;
    return socket;
  }
  int error_number = 0;
  socklen_t length = sizeof error_number;
  ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error_number, &length);
  if (error_number != 0) {
    socket.reset();
    errno = error_number;
  }
  return socket;
}

struct Connected {
  OwnedDescriptor socket;
  std::string cause;  // why no address accepted
};

Connected connect_to_host(const UrlParts& parts, std::chrono::milliseconds timeout) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::string port_text = std::to_string(parts.port);
  // A name holding NUL names no host; the resolver would look up only the part before it.
  int status = parts.host.find('\0') != std::string::npos
                   ? EAI_NONAME
                   : ::getaddrinfo(parts.host.c_str(), port_text.c_str(), &hints, &found);
  if (status != 0) {
    return {OwnedDescriptor(),
            status == EAI_SYSTEM ? system_error_text(errno) : std::string(::gai_strerror(status))};
  }
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, ::freeaddrinfo);
  std::string cause(messages::kHttpNoAddresses);
  for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
    OwnedDescriptor socket = connect_to(*address, timeout);
    if (socket.valid()) return {std::move(socket), ""};
    cause = system_error_text(errno);
  }
  return {OwnedDescriptor(), cause};
}

bool send_all(int fd, std::string_view data, std::chrono::milliseconds timeout) {
  while (!data.empty()) {
    ssize_t wrote = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (wrote > 0) {
      data.remove_prefix(static_cast<size_t>(wrote));
    } else if (wrote < 0 && errno == EINTR) {
      continue;
    } else if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!wait_ready(fd, POLLOUT, timeout)) return false;
    } else {
      return false;
    }
  }
  return true;
}

// Everything until the server closes; false (errno set) on an error or an idle time-out.
bool receive_all(int fd, std::string& received, std::chrono::milliseconds timeout) {
  char buffer[65536];
  for (;;) {
    ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got > 0) {
      received.append(buffer, static_cast<size_t>(got));
    } else if (got == 0) {
      return true;
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!wait_ready(fd, POLLIN, timeout)) return false;
    } else {
      return false;
    }
  }
}

}  // namespace

std::string request_text(std::string_view method, std::string_view path, std::string_view host,
                         std::string_view body) {
  std::string text;
  text.reserve(method.size() + path.size() + host.size() + body.size() + 96);
  text.append(method).append(" ").append(path).append(" HTTP/1.1\r\nHost: ").append(host);
  text.append("\r\nConnection: close\r\nContent-Length: ").append(std::to_string(body.size()));
  text.append("\r\n\r\n").append(body);
  return text;
}

RequestOutcome http_request(std::string_view url, std::string_view method, std::string_view body,
                            const ClientLimits& limits) {
  UrlParts parts = split_url(url);
  if (parts.https) return {false, std::string(messages::kHttpsUnsupported)};
  Connected connected =
      network_forbidden()
          ? Connected{OwnedDescriptor(), std::string(messages::kHttpNetworkForbidden)}
          : connect_to_host(parts, limits.idle_timeout);
  if (!connected.socket.valid()) {
    std::string address = parts.host + ":" + std::to_string(parts.port);
    return {false, format_message(messages::kHttpConnectFailed, {address, connected.cause})};
  }
  int fd = connected.socket.get();
  if (!send_all(fd, request_text(method, parts.path, parts.host, body), limits.idle_timeout))
    return failure(messages::kHttpWriteFailed, system_error_text(errno));
  std::string received;
  if (!receive_all(fd, received, limits.idle_timeout))
    return failure(messages::kHttpReadFailed, system_error_text(errno));
  if (!is_valid_utf8(received)) return failure(messages::kHttpReadFailed, messages::kHttpNotUtf8);
  return {true, std::move(received)};
}

}  // namespace vormel::http
