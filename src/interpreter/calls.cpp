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
#include "interpreter/library/library_modules.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/native_modules.hpp"
#include "interpreter/node_cache.hpp"
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

// Where a general call's frame keeps the depths of the bindings its parameters shadow: in
// place for the common short lists.
class ShadowedDepths {
 public:
  static constexpr size_t kInline = 8;
  explicit ShadowedDepths(size_t count) {
    if (count > kInline) spill_ = std::make_unique<uint32_t[]>(count);
  }
  uint32_t* data() { return spill_ ? spill_.get() : inline_; }

 private:
  uint32_t inline_[kInline];
  std::unique_ptr<uint32_t[]> spill_;
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
  auto* route = new DottedRoute();
  call.cache.reset(route);
  size_t dot = call.name.find('.');
  route->module = call.name.substr(0, dot);
  route->function = call.name.substr(dot + 1);
  route->native_module = find_native_module(route->module);
  if (route->native_module != nullptr)
    route->native_function = find_native_function(*route->native_module, route->function);
}

// "m.f": m must be imported; a native module's name reaches that module whatever the
// table under the name holds, any other name the Function its table exports as f.
Value Interpreter::call_dotted(const CallExpr& call, std::span<Value> args) {
  if (!call.cache) resolve_dotted_route(call);
  const auto& route = cached<DottedRoute>(call.cache);
  const ExportTable* exports = find_module(route.module);
  if (exports == nullptr)
    return errors::raised_at(call.place, [&] { return errors::module_not_imported(route.module); });
  if (route.native_module != nullptr) {
    if (route.native_function == nullptr)
      return errors::raised_at(call.place, [&] {
        return errors::native_function_missing(route.native_module->missing_function_message,
                                               route.function);
      });
    NativeCallContext context = native_call_context(*this);
    return call_native(*route.native_function, args, context);
  }
  const Value* exported = exports->find(route.function);
  if (exported != nullptr && exported->is(ValueKind::BuiltinFunction)) {
    // A library module's function (a script module's own import of one passes it on too).
    const std::string& name = exported->builtin_name();
    if (route.library_name != name) {
      std::optional<LibraryFunction> found = find_library_function(name);
      route.library = found ? *found : LibraryFunction{};
      route.library_name = name;
    }
    if (route.library.function != nullptr)
      return call_library(route.library, args, native_call_context(*this));
  }
  if (exported == nullptr || !exported->is(ValueKind::Function))
    return errors::raised_at(
        call.place, [&] { return errors::module_function_missing(route.module, route.function); });
  Value callee = *exported;  // keeps the body alive whatever the call does
  return run_user_function(callee.as_function(), args, &call);
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
      return errors::raised_at(call.place, [&] {
        return errors::argument_count(call.name, def.params.size(), args.size());
      });
    return run_user_function(def, args, &call);
  }
  return errors::raised_at(call.place, [&] { return errors::function_missing(call.name); });
}

// The general call: the stack and depth limits, then the parameters bound over the names'
// current bindings, the body, the result, and the old bindings put back.
Value Interpreter::run_user_function(const FunctionDef& def, std::span<Value> args,
                                     const CallExpr* site) {
  // Deep recursion fails as an ordinary error long before the native stack runs out.
  if (stack_pointer_below(stack_limit_ + kCallStackMargin) || scope_depth_ >= kMaxCallDepth)
      [[unlikely]] {
    ErrorPlace place(site != nullptr ? &site->place : nullptr);
    return errors::recursion_too_deep();
  }
  if (!def.params_interned) [[unlikely]]
    intern_parameters(def);
  spend_steps(1);
  check_interrupt();
  const size_t bound = std::min(def.params.size(), args.size());
  ShadowedDepths shadowed(bound);
  CallFrame frame(*this, def, args.first(bound), shadowed.data(), site);
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

}  // namespace vormel
