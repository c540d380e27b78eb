// Reading every byte of a file. The readers of scripts, modules and templates all come here
// and add their own checks of the text (UTF-8) and their own messages.
#pragma once

#include <string>

namespace vormel {

// Reads all of `path` into `bytes` and returns 0, or returns the errno of the failure with
// `bytes` unchanged. A name holding NUL fails with ENOENT (the system would read only the
// part before it); a directory fails with EISDIR.
int read_whole_file(const std::string& path, std::string& bytes);

}  // namespace vormel
