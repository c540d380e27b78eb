// Line editing and history for a person typing at a terminal.
#pragma once

#include <memory>

#include "repl/line_reader.hpp"

namespace vormel {

// A libedit-backed reader, or null when the build has no libedit or libedit.so.2 cannot be
// loaded.
std::unique_ptr<LineReader> make_terminal_reader();

}  // namespace vormel
