// One open and a read loop to the end, restarted when a signal interrupts it.
#include "support/whole_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vormel {

int read_whole_file(const std::string& path, std::string& bytes) {
  if (path.find('\0') != std::string::npos) return ENOENT;
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return errno;
  std::string text;
  char buffer[65536];
  int error = 0;
  for (;;) {
    const ssize_t got = ::read(file, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;  // EISDIR for a directory, which opens for reading
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  ::close(file);
  if (error == 0) bytes = std::move(text);
  return error;
}

}  // namespace vormel
