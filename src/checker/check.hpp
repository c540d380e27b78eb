// The checker: what the lexer and parser pass over in a script, and code that runs but
// surprises, as warnings with their positions. Nothing is run.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lexer/lex_trace.hpp"

namespace vormel {

struct Warning {
  SourcePosition at;
  SourcePosition end;  // just after the text the warning is about (at least one character)
  std::string message;
};

struct CheckOptions {
  // The text of the script module "{name}.vl" that `use name` imports, or nullopt when it
  // cannot be read. Without a reader, script modules are taken on trust.
  std::function<std::optional<std::string>(const std::string& module)> read_module;
  // Whether the file "{name}.vl" exists, readable or not: it then hides a library module of
  // that name. Without it, a file exists when read_module reads it.
  std::function<bool(const std::string& module)> module_file_exists;
  // The module name the checked file is imported under ("shapes" for shapes.vl), or "" when
  // unknown. Its functions may call each other as "shapes.square".
  std::string module_name;
};

// Warnings in source order.
std::vector<Warning> check_source(std::string_view source, const CheckOptions& options);

// "file:line:column: warning: message"
std::string format_warning(std::string_view file, const Warning& warning);

}  // namespace vormel
