#include "interpreter/native_call_context.hpp"

#include "interpreter/interpreter.hpp"

namespace vormel {

GraphicsContext& interpreter_graphics(void* interpreter) {
  return static_cast<Interpreter*>(interpreter)->graphics();
}

}  // namespace vormel
