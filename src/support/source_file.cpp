// Reading a whole source file as UTF-8 text.
#include "support/source_file.hpp"

#include <cstring>

#include "support/text_format.hpp"
#include "support/whole_file.hpp"

namespace vormel {

bool read_script(const std::string& path, std::string& text, std::string& failure) {
  std::string bytes;
  if (int error = read_whole_file(path, bytes); error != 0) {
    failure = std::strerror(error);
    return false;
  }
  if (!is_valid_utf8(bytes)) {
    failure = "stream did not contain valid UTF-8";
    return false;
  }
  text = std::move(bytes);
  return true;
}

}  // namespace vormel
