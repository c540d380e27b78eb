// The call forms: a plain call of a few arguments runs as a function for its argument
// count, with the arguments in a fixed array and the frame on the native stack; built-ins
// and module functions take the general routed call (chosen in form_table.cpp).
#pragma once

#include <array>
#include <new>
#include <span>

#include "interpreter/diagnostics.hpp"
#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/prepared_forms.hpp"
#include "interpreter/step_budget.hpp"
#include "support/stack_guard.hpp"

namespace vormel {

struct CallForms {
  // One stack check per call covers both the nesting of its arguments and the depth of the
  // call itself; near the limit, and always when tracing, the general path decides what to
  // do (prepared_call_floor_).
  template <size_t N>
  static Value plain(Interpreter& in, const Expr& expr) {
    const auto& call = static_cast<const CallExpr&>(expr);
    if (stack_pointer_below(in.prepared_call_floor_)) [[unlikely]]
      return in.evaluate_node(expr);
    FixedArguments<N> args;
    for (size_t i = 0; i < N; ++i) {
      Value& value = args.add(in, *call.args[i], (call.variable_arguments >> i) & 1);
      if (value.is_error()) [[unlikely]]
        return std::move(value);
    }
    const Value* found = in.peek_variable(call.symbol);
    if (found == nullptr || !found->is(ValueKind::Function)) [[unlikely]]
      return in.call_plain(call, std::span<Value>(args.data(), N));
    in.keep_alive(*found);  // whatever the body rebinds, the definition stays; interned
    const FunctionDef& def = found->as_function();
    if (def.params.size() != N) [[unlikely]]
      return errors::raised_at(
          call.place, [&] { return errors::argument_count(call.name, def.params.size(), N); });
    if (in.scope_depth_ >= Interpreter::kMaxCallDepth) [[unlikely]]
      return errors::raised_at(call.place, [] { return errors::recursion_too_deep(); });
    spend_steps(1);
    check_interrupt();
    std::array<uint32_t, (N > 0 ? N : 1)> shadowed;
    Interpreter::CallFrame frame(in, def, std::span<Value>(args.data(), N), shadowed.data(), &call);
    return run_body(in, def);
  }

  // The body of a prepared call. A `return` ending the body gives the result directly, with
  // what executing it would leave: its value, and no return pending.
  [[gnu::always_inline]] static Value run_body(Interpreter& in, const FunctionDef& def) {
    const StmtPtr* stmt = def.body.data();
    const StmtPtr* end = stmt + def.body.size() - (def.tail_value != nullptr ? 1 : 0);
    Flow flow = in.pending_;  // what an empty body leaves, as a block would
    for (; stmt != end; ++stmt)
      if ((flow = in.execute(**stmt)) != kFlowNormal) break;
    if (stmt == end && def.tail_value != nullptr) {
      ReturnTaken taken{in};  // after the value is built where the caller wants it
      return in.evaluate(*def.tail_value);
    }
    if (!(flow & kFlowReturn)) return Value();
    ReturnTaken taken{in};
    return std::move(in.returned_);
  }
  // Clears the pending return once the call's result is made.
  struct ReturnTaken {
    Interpreter& in;
    [[gnu::always_inline]] ~ReturnTaken() { in.pending_ &= ~kFlowReturn; }
  };

  // The N arguments of a call, each built where it stays. Only those built are destroyed:
  // an argument's evaluation may end in an exception (an interrupt), leaving the rest raw.
  template <size_t N>
  class FixedArguments {
   public:
    FixedArguments() = default;
    ~FixedArguments() {
      if (built_ == N) [[likely]] {
        for (size_t i = 0; i < N; ++i) data()[i].~Value();  // unrolled: N is known
      } else {
        for (size_t i = 0; i < built_; ++i) data()[i].~Value();
      }
    }
    FixedArguments(const FixedArguments&) = delete;
    FixedArguments& operator=(const FixedArguments&) = delete;

    // A name is read here, as its evaluation would read it, without the evaluator's call.
    [[gnu::always_inline]] Value& add(Interpreter& in, const Expr& argument, bool is_name) {
      void* slot = &storage_[built_ * sizeof(Value)];
      Value* value;
      if (is_name) {
        value = new (slot) Value(read_variable(in, static_cast<const IdentifierExpr&>(argument)));
      } else {
        value = new (slot) Value(in.evaluate(argument));
      }
      ++built_;
      return *value;
    }
    Value* data() { return std::launder(reinterpret_cast<Value*>(storage_)); }

   private:
    size_t built_ = 0;
    alignas(Value) unsigned char storage_[(N > 0 ? N : 1) * sizeof(Value)];
  };

  // `len(x)` of a string, array or dict in a variable: its size, read in place, when no
  // trace is written; anything else as the routed call.
  static Value length(Interpreter& in, const Expr& expr) {
    const auto& call = static_cast<const CallExpr&>(expr);
    const Value* value = in.peek_variable(static_cast<const IdentifierExpr&>(*call.args[0]).symbol);
    if (value != nullptr && !debug_enabled()) [[likely]] {
      switch (value->kind()) {
        case ValueKind::String:
          return Value::number(static_cast<int64_t>(value->as_string().size()));
        case ValueKind::Array: return Value::number(static_cast<int64_t>(value->as_array().size()));
        case ValueKind::Dict: return Value::number(static_cast<int64_t>(value->as_dict().size()));
        default: break;
      }
    }
    return routed(in, expr);
  }

  // Built-ins and module functions; the check guards the nesting of the arguments.
  static Value routed(Interpreter& in, const Expr& expr) {
    if (stack_pointer_below(in.stack_limit_)) [[unlikely]]
      return errors::nesting_too_deep();
    return in.evaluate_routed_call(static_cast<const CallExpr&>(expr));
  }
};

}  // namespace vormel
