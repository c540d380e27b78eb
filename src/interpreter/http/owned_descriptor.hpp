// One owned descriptor (a socket, or a template file being read), closed when the owner
// ends, and the system's text for an error number. Socket headers stay inside this folder.
#pragma once

#include <unistd.h>

#include <cstring>
#include <string>
#include <utility>

namespace vormel::http {

class OwnedDescriptor {
 public:
  OwnedDescriptor() = default;
  explicit OwnedDescriptor(int fd) : fd_(fd) {}
  OwnedDescriptor(const OwnedDescriptor&) = delete;
  OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
  OwnedDescriptor(OwnedDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  OwnedDescriptor& operator=(OwnedDescriptor&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~OwnedDescriptor() { reset(); }

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
