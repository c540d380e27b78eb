// Reading a whole source file (a script or a module) as UTF-8 text.
#pragma once

#include <string>

namespace vormel {

// Reads `path` into `text`. On failure gives the reason in `failure` (the system's error
// text, or "stream did not contain valid UTF-8") and returns false. A directory is a failure.
bool read_script(const std::string& path, std::string& text, std::string& failure);

}  // namespace vormel
