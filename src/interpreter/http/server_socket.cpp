#include "interpreter/http/server_socket.hpp"

#include <arpa/inet.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "interpreter/messages.hpp"

namespace vormel::http {

Listener bind_listener(uint16_t port, in_addr_t address_bytes, bool share_port) {
  Listener listener;
  listener.socket =
      OwnedDescriptor(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!listener.socket.valid()) {
    listener.error_number = errno;
    return listener;
  }
  int on = 1;
  ::setsockopt(listener.socket.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (share_port &&
      ::setsockopt(listener.socket.get(), SOL_SOCKET, SO_REUSEPORT, &on, sizeof on) != 0) {
    listener.error_number = errno;
    listener.socket.reset();
    return listener;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = address_bytes;
  if (::bind(listener.socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener.socket.get(), kListenBacklog) != 0) {
    listener.error_number = errno;
    listener.socket.reset();
    return listener;
  }
  socklen_t length = sizeof address;
  ::getsockname(listener.socket.get(), reinterpret_cast<sockaddr*>(&address), &length);
  listener.bound_port = ntohs(address.sin_port);
  return listener;
}

size_t connection_cap(const ServerLimits& limits) {
  rlimit files{};
  if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY)
    return limits.max_connections;
  size_t spare = files.rlim_cur > 32 ? files.rlim_cur - 32 : 1;
  return std::min(limits.max_connections, spare);
}

void print_line(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void report_connection_error(int error_number) {
  std::string line =
      format_message(messages::kHttpConnectionError, {system_error_text(error_number)});
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace vormel::http
