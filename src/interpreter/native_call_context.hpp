// What a native function may reach of the interpreter that calls it. The graphics context
// is fetched only when a function asks for it, so that calls which never draw (the "http"
// functions, most built-ins) do not bring one into being.
#pragma once

namespace vormel {

class GraphicsContext;  // complete only inside the graphics module
class Interpreter;

class NativeCallContext {
 public:
  // Answers the owner's graphics context, creating it on first use.
  using GraphicsSource = GraphicsContext& (*)(void* owner);

  NativeCallContext(void* owner, GraphicsSource source, Interpreter* interpreter = nullptr)
      : owner_(owner), source_(source), interpreter_(interpreter) {}
  // Calls that work on a graphics context which already exists.
  explicit NativeCallContext(GraphicsContext& graphics)
      : owner_(&graphics), source_(&existing_graphics) {}

  GraphicsContext& graphics() const { return source_(owner_); }
  // The interpreter that made the call, for functions that call script functions back;
  // null for calls made on a graphics context alone.
  Interpreter* interpreter() const { return interpreter_; }

 private:
  static GraphicsContext& existing_graphics(void* graphics) {
    return *static_cast<GraphicsContext*>(graphics);
  }

  void* owner_;
  GraphicsSource source_;
  Interpreter* interpreter_ = nullptr;
};

// The graphics source of calls made by an interpreter: its own context, made on first use.
GraphicsContext& interpreter_graphics(void* interpreter);

// The context of native calls made by `interpreter`.
inline NativeCallContext native_call_context(Interpreter& interpreter) {
  return NativeCallContext(&interpreter, &interpreter_graphics, &interpreter);
}

}  // namespace vormel
