// The interpreter object and running a whole script.
#include "interpreter/interpreter.hpp"

#include <atomic>

#include "interpreter/diagnostics.hpp"
#include "interpreter/errors.hpp"
#include "interpreter/messages.hpp"
#include "support/stack_guard.hpp"

namespace vormel {

namespace {
uint64_t next_interpreter_serial() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}
}  // namespace

thread_local const Interpreter* Interpreter::running_ = nullptr;

// The call-site array is allocated without being written: its pages are mapped only as
// calls nest into them.
Interpreter::Interpreter()
    : stack_limit_(stack_limit_address()),
      prepared_call_floor_(debug_enabled() ? UINTPTR_MAX : stack_limit_ + kCallStackMargin),
      call_sites_(new const CallExpr*[kMaxCallDepth + 2]),
      running_before_(running_),
      serial_(next_interpreter_serial()) {
  call_sites_[0] = nullptr;
  running_ = this;
}

void Interpreter::keep_function(const FunctionDefPtr& def) {
  if (!def->params_interned) intern_parameters(*def);
  kept_functions_.push_back(def);
  def->kept_by = serial_;
}
Interpreter::~Interpreter() { running_ = running_before_; }

GraphicsContext& Interpreter::create_graphics() {
  graphics_ = make_graphics_context();
  return *graphics_;
}

void run_program(const StmtList& program, bool debug) {
  set_debug_enabled(debug);  // before the interpreter, which takes its call floor from it
  Interpreter interpreter;

  // First pass: only lets, functions and uses, so that `main` sees them.
  for (const StmtPtr& stmt : program) {
    switch (stmt->kind) {
      case StmtKind::Let: {
        const auto& let = static_cast<const LetStmt&>(*stmt);
        Value value = interpreter.evaluate(*let.value);
        if (value.is_error())
          errors::log_named_statement_failure(let.place, messages::kGlobalLetFailed, let.name,
                                              value);
        interpreter.set_variable(let.name, std::move(value));
        break;
      }
      case StmtKind::Function:
      case StmtKind::Use: interpreter.execute(*stmt); break;
      default: break;
    }
  }

  Value main_function = interpreter.get_variable(std::string_view("main"));
  if (main_function.is(ValueKind::Function)) {
    interpreter.run_user_function(main_function.as_function(), {}, nullptr);
    return;
  }
  for (const StmtPtr& stmt : program) {
    interpreter.execute(*stmt);
    if (interpreter.return_pending()) break;
  }
}

}  // namespace vormel
