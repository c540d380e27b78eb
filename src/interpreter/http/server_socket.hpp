// What the servers of this folder share: a non-blocking listening socket, the number of
// connections the process's descriptor limit allows, and the lines they print.
#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interpreter/http/owned_descriptor.hpp"
#include "interpreter/http/page_server.hpp"

namespace vormel::http {

struct Listener {
  OwnedDescriptor socket;
  uint16_t bound_port = 0;
  int error_number = 0;
};

// Binds and listens on `address` (network byte order; loopback unless asked otherwise).
Listener bind_listener(uint16_t port, in_addr_t address = htonl(INADDR_LOOPBACK));

// Descriptors a server may hold at once, leaving room for the rest of the process.
size_t connection_cap(const ServerLimits& limits);

// One line on standard output, flushed: the start-up lines are what a caller waits for.
void print_line(std::string_view line);

// The "Connection error" line on standard error, for a failed accept.
void report_connection_error(int error_number);

}  // namespace vormel::http
