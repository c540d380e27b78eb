// Call expressions: argument evaluation and routing to built-ins, modules and user functions.
#include <array>
#include <memory>
#include <new>
#include <string>

#include "interpreter/builtins/builtins.hpp"
#include "interpreter/diagnostics.hpp"
#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/native_modules.hpp"
#include "interpreter/prepared_forms.hpp"
#include "interpreter/shortcuts.hpp"
#include "interpreter/step_budget.hpp"
#include "interpreter/symbol_cache.hpp"
#include "support/stack_guard.hpp"

namespace vormel {
namespace {

// Argument values: constructed in place for the common short lists, so most calls
// allocate nothing and construct no more values than they pass.
class ArgumentBuffer {
 public:
  static constexpr size_t kInline = 6;

  explicit ArgumentBuffer(size_t capacity) {
    if (capacity > kInline) spill_ = std::make_unique<Value[]>(capacity);
  }
  ~ArgumentBuffer() {
    if (!spill_)
      for (size_t i = 0; i < count_; ++i) inline_at(i).~Value();
  }
  ArgumentBuffer(const ArgumentBuffer&) = delete;
  ArgumentBuffer& operator=(const ArgumentBuffer&) = delete;

  void push(Value value) {
    if (spill_)
      spill_[count_] = std::move(value);
    else
      new (&storage_[count_ * sizeof(Value)]) Value(std::move(value));
    ++count_;
  }
  std::span<Value> span() {
    return std::span<Value>(spill_ ? spill_.get() : &inline_at(0), count_);
  }

 private:
  Value& inline_at(size_t i) {
    return *std::launder(reinterpret_cast<Value*>(&storage_[i * sizeof(Value)]));
  }
  size_t count_ = 0;
  alignas(Value) unsigned char storage_[kInline * sizeof(Value)];
  std::unique_ptr<Value[]> spill_;
};

}  // namespace

// The general call: the route the name takes (resolved once), then arguments, then the call.
Value Interpreter::evaluate_call(const CallExpr& call) {
  if (call.builtin == CallExpr::kUnresolvedCall) resolve_call_kind(call);
  return evaluate_routed_call(call);
}

void Interpreter::resolve_call_kind(const CallExpr& call) {
  // find_builtin() answers -1, kPlainCall, for a name that is no built-in.
  call.builtin =
      call.name.find('.') != std::string::npos ? CallExpr::kDottedCall : find_builtin(call.name);
}

Value Interpreter::evaluate_routed_call(const CallExpr& call) {
  if (debug_enabled()) log_debug_call(format_message(messages::kTraceCalling, {call.name}));
  ArgumentBuffer args(call.args.size());
  for (const ExprPtr& arg : call.args) {
    Value value = evaluate(*arg);
    if (value.is_error()) return value;
    args.push(std::move(value));
  }
  if (call.builtin == CallExpr::kDottedCall) return call_dotted(call, args.span());
  if (call.builtin >= 0) {
    Value result = call_builtin(call.builtin, args.span(), native_call_context(*this));
    if (debug_enabled()) log_debug_call(format_message(messages::kTraceIsBuiltin, {call.name}));
    return result;
  }
  return call_plain(call, args.span());
}

void Interpreter::resolve_dotted_route(const CallExpr& call) {
  auto route = std::make_unique<DottedRoute>();
  size_t dot = call.name.find('.');
  route->module = call.name.substr(0, dot);
  route->function = call.name.substr(dot + 1);
  route->native_module = find_native_module(route->module);
  if (route->native_module != nullptr)
    route->native_function = find_native_function(*route->native_module, route->function);
  call.route = std::move(route);
}

// "m.f": m must be imported; a native module's name reaches that module whatever the
// table under the name holds, any other name the Function its table exports as f.
Value Interpreter::call_dotted(const CallExpr& call, std::span<Value> args) {
  if (!call.route) resolve_dotted_route(call);
  const DottedRoute& route = *call.route;
  const ExportTable* exports = find_module(route.module);
  if (exports == nullptr) return errors::module_not_imported(route.module);
  if (route.native_module != nullptr) {
    if (route.native_function == nullptr)
      return errors::native_function_missing(route.native_module->missing_function_message,
                                             route.function);
    NativeCallContext context = native_call_context(*this);
    return call_native(*route.native_function, args, context);
  }
  const Value* exported = exports->find(route.function);
  if (exported == nullptr || !exported->is(ValueKind::Function))
    return errors::module_function_missing(route.module, route.function);
  Value callee = *exported;  // keeps the body alive whatever the call does
  return run_user_function(callee.as_function(), args);
}

Value Interpreter::call_plain(const CallExpr& call, std::span<Value> args) {
  const bool debug = debug_enabled();
  if (debug) log_debug_call(format_message(messages::kTraceNotBuiltin, {call.name}));
  Value callee = get_variable(cached_symbol(call.symbol, call.name));
  if (debug)
    log_debug_call(format_message(messages::kTraceLookup, {call.name, debug_text(callee)}));
  if (callee.is(ValueKind::BuiltinFunction)) {
    NativeCallContext context = native_call_context(*this);
    if (auto result = dispatch_any_native(callee.builtin_name(), args, context))
      return std::move(*result);
    return Value::null();
  }
  if (callee.is(ValueKind::Function)) {
    const FunctionDef& def = callee.as_function();
    if (debug)
      log_debug_call(
          format_message(messages::kTraceFoundFunction, {std::to_string(def.params.size())}));
    if (def.params.size() != args.size())
      return errors::argument_count(call.name, def.params.size(), args.size());
    return run_user_function(def, args);
  }
  return errors::function_missing(call.name);
}

// The general call: the stack and depth limits, then the parameters bound over the names'
// current bindings, the body, the result, and the old bindings put back.
Value Interpreter::run_user_function(const FunctionDef& def, std::span<Value> args) {
  // Deep recursion fails as an ordinary error long before the native stack runs out.
  if (stack_pointer_below(stack_limit_ + kCallStackMargin)) return errors::recursion_too_deep();
  if (scope_depth_ >= kMaxCallDepth) [[unlikely]]
    return errors::recursion_too_deep();
  if (!def.params_interned) [[unlikely]]
    intern_parameters(def);
  spend_steps(1);
  check_interrupt();
  CallScope scope(*this);
  const size_t bound = std::min(def.params.size(), args.size());
  for (size_t i = 0; i < bound; ++i) {
    const auto symbol = static_cast<Symbol>(def.param_symbols[i]);
    VariableSlot& s = slot(symbol);
    if (s.declared_global) [[unlikely]]
      set_variable(symbol, std::move(args[i]));
    else
      bind_local(s, symbol, args[i]);
  }
  Value result;
  // The body's statements run without the nesting check of a block: the call checked the
  // stack with room to spare.
  Flow flow = pending_;  // what an empty body leaves, as a block would
  for (const StmtPtr& stmt : def.body)
    if ((flow = execute(*stmt)) != kFlowNormal) break;
  if (flow & kFlowReturn) {
    result = std::move(returned_);
    pending_ &= ~kFlowReturn;
  }
  return result;
}

void Interpreter::intern_parameters(const FunctionDef& def) {
  def.param_symbols.clear();
  for (const std::string& param : def.params) def.param_symbols.push_back(intern(param));
  if (!def.body.empty() && def.body.back()->kind == StmtKind::Return)
    def.tail_value = static_cast<const ReturnStmt&>(*def.body.back()).value.get();
  def.params_interned = true;
}

// Calls prepared by their route: a plain call of a few arguments gets a function for its
// argument count, with the arguments in a fixed array; the rest take the routed path.
struct CallForms {
  // One stack check per call covers both the nesting of its arguments and the depth of the
  // call itself; near the limit, and when tracing, the general path decides what to do.
  template <size_t N>
  static Value plain(Interpreter& in, const Expr& expr) {
    const auto& call = static_cast<const CallExpr&>(expr);
    if (stack_pointer_below(in.stack_limit_ + Interpreter::kCallStackMargin) || debug_enabled())
        [[unlikely]]
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
      return errors::argument_count(call.name, def.params.size(), N);
    if (in.scope_depth_ >= Interpreter::kMaxCallDepth) [[unlikely]]
      return errors::recursion_too_deep();
    spend_steps(1);
    check_interrupt();
    ParameterFrame<N> frame(in, def, args.data());
    return run_body(in, def);
  }

  // The scope of a prepared call. Each parameter is bound by swapping its argument into the
  // name's slot, so the argument array holds the shadowed bindings while the body runs; the
  // destructor swaps them back after undoing what the body bound, newest first, also when
  // an interrupt unwinds the call.
  template <size_t N>
  class ParameterFrame {
   public:
    [[gnu::always_inline]] ParameterFrame(Interpreter& in, const FunctionDef& def, Value* args)
        : in_(in), symbols_(def.param_symbols.data()), args_(args), saved_base_(in.saved_count_) {
      const uint32_t depth = ++in.scope_depth_;
      for (size_t i = 0; i < N; ++i) {
        const auto symbol = static_cast<Symbol>(symbols_[i]);
        Interpreter::VariableSlot& s = in.slot(symbol);
        if (s.declared_global) [[unlikely]] {
          in.set_variable(symbol, std::move(args[i]));
          shadowed_depth_[i] = kNotBound;
          continue;
        }
        shadowed_depth_[i] = s.local_depth;
        s.local_depth = depth;
        s.local.swap(args[i]);
      }
    }
    [[gnu::always_inline]] ~ParameterFrame() {
      in_.restore_saved(saved_base_);
      for (size_t i = N; i-- > 0;) {
        if (shadowed_depth_[i] == kNotBound) [[unlikely]]
          continue;
        Interpreter::VariableSlot& s = in_.slots_[static_cast<size_t>(symbols_[i])];
        s.local.swap(args_[i]);
        s.local_depth = shadowed_depth_[i];
      }
      --in_.scope_depth_;
    }
    ParameterFrame(const ParameterFrame&) = delete;
    ParameterFrame& operator=(const ParameterFrame&) = delete;

   private:
    static constexpr uint32_t kNotBound = ~uint32_t{0};  // a parameter declared global
    Interpreter& in_;
    const SymbolCache* symbols_;
    Value* args_;
    size_t saved_base_;
    std::array<uint32_t, (N > 0 ? N : 1)> shadowed_depth_;
  };

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

  // Built-ins and module functions; the check guards the nesting of the arguments.
  static Value routed(Interpreter& in, const Expr& expr) {
    if (stack_pointer_below(in.stack_limit_)) [[unlikely]]
      return errors::nesting_too_deep();
    return in.evaluate_routed_call(static_cast<const CallExpr&>(expr));
  }

  static EvaluateFn prepare(const CallExpr& call) {
    if (call.builtin == CallExpr::kUnresolvedCall) Interpreter::resolve_call_kind(call);
    if (call.builtin != CallExpr::kPlainCall) return &routed;
    cached_symbol(call.symbol, call.name);
    for (size_t i = 0; i < call.args.size() && i < 8; ++i) {
      if (call.args[i]->kind != ExprKind::Identifier) continue;
      const auto& id = static_cast<const IdentifierExpr&>(*call.args[i]);
      cached_symbol(id.symbol, id.name);
      call.variable_arguments |= static_cast<uint8_t>(1u << i);
    }
    switch (call.args.size()) {
      case 0: return &plain<0>;
      case 1: return &plain<1>;
      case 2: return &plain<2>;
      case 3: return &plain<3>;
      case 4: return &plain<4>;
      default: return &routed;
    }
  }
};

EvaluateFn prepare_call(const CallExpr& call) { return CallForms::prepare(call); }

}  // namespace vormel
