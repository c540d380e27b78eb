// The static-page server: one thread waits on the listener and on every open connection at
// once, so no client can hold up another. Each connection gets one receive of at most 1024
// bytes and one response; then its sending side is shut down and what remains of the
// request is read and discarded (bounded) so that closing does not reset the connection
// before the client has read the response.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vormel::http {

struct ServerLimits {
  // A connection that sends nothing for this long is closed without a response.
  std::chrono::milliseconds request_wait{5000};
  // A client that takes none of its response for this long is dropped.
  std::chrono::milliseconds write_stall{10000};
  // After the response: how long, and how many request bytes, the drain admits.
  std::chrono::milliseconds drain_time{2000};
  size_t drain_bytes = 256 * 1024;
  // Connections open at once; more wait in the listen backlog.
  size_t max_connections = 1000;
};

inline constexpr size_t kRequestBytes = 1024;
inline constexpr int kListenBacklog = 128;

// Prints the two start-up lines on standard output and serves forever. Returns only when
// binding fails, with the system's text for the failure.
std::string serve_pages(uint16_t port, const ServerLimits& limits = {});

}  // namespace vormel::http
