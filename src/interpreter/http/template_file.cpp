#include "interpreter/http/template_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "interpreter/http/owned_descriptor.hpp"
#include "interpreter/messages.hpp"
#include "support/text_format.hpp"

namespace vormel::http {

TemplateText read_template(const std::string& path) {
  // A name holding NUL names no file; the system would read only the part before it.
  if (path.find('\0') != std::string::npos) return {false, system_error_text(ENOENT)};
  OwnedDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.valid()) return {false, system_error_text(errno)};
  std::string text;
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {false, system_error_text(errno)};
    if (got == 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  if (!is_valid_utf8(text)) return {false, std::string(messages::kHttpNotUtf8)};
  return {true, std::move(text)};
}

}  // namespace vormel::http
