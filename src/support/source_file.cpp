// Reading a whole source file as UTF-8 text.
#include "support/source_file.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "support/text_format.hpp"

namespace vormel {

bool read_script(const std::string& path, std::string& text, std::string& failure) {
  // A name holding NUL names no file; the system would read only the part before it.
  if (path.find('\0') != std::string::npos) {
    failure = std::strerror(ENOENT);
    return false;
  }
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    failure = std::strerror(EISDIR);
    return false;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    failure = std::strerror(errno != 0 ? errno : ENOENT);
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) {
    failure = std::strerror(errno != 0 ? errno : EIO);
    return false;
  }
  text = buffer.str();
  if (!is_valid_utf8(text)) {
    failure = "stream did not contain valid UTF-8";
    return false;
  }
  return true;
}

}  // namespace vormel
