// Where an error came from, for a person reading standard error: after each ERROR line, the
// place the error arose and the calls that led there, innermost first. Written only when
// asked for, so that the error lines alone stay exactly what scripts and tools rely on.
#pragma once

#include "parser/ast.hpp"

namespace vormel {

// Whether the trace lines are written; off until a front end turns them on.
void set_where_enabled(bool on);
bool where_enabled();
// What the environment asks for: VORMEL_WHERE=1 on, VORMEL_WHERE=0 off, and otherwise on
// exactly when standard error is a terminal.
bool where_wanted();

// Names the place of the errors raised while it lives (the innermost one wins). Set only on
// the way to an error, so that the paths that succeed pay nothing.
class ErrorPlace {
 public:
  // A null place leaves the one named outside in force.
  explicit ErrorPlace(const NodePlace* place);
  ~ErrorPlace();
  ErrorPlace(const ErrorPlace&) = delete;
  ErrorPlace& operator=(const ErrorPlace&) = delete;

 private:
  const NodePlace* previous_;
};

// Writes the trace lines that follow an ERROR line just written, when they are enabled.
void write_error_trace();

}  // namespace vormel
