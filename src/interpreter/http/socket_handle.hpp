// One owned socket descriptor, closed when the handle ends, and the system's text for an
// error number. Socket headers stay inside the HTTP module.
#pragma once

#include <unistd.h>

#include <cstring>
#include <string>
#include <utility>

namespace vormel::http {

class SocketHandle {
 public:
  SocketHandle() = default;
  explicit SocketHandle(int fd) : fd_(fd) {}
  SocketHandle(const SocketHandle&) = delete;
  SocketHandle& operator=(const SocketHandle&) = delete;
  SocketHandle(SocketHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  SocketHandle& operator=(SocketHandle&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~SocketHandle() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

// The system's text for `error_number`, such as "Connection refused".
inline std::string system_error_text(int error_number) { return std::strerror(error_number); }

}  // namespace vormel::http
