// The interpreter object: variables (dynamic scoping with shallow binding), the return
// slot and loop flags, modules, and the graphics context.
//
// Variables. Every name is interned to a Symbol; the interpreter keeps one slot per symbol
// holding the global value (if any) and the innermost local binding (if any). A binding it
// shadows is saved on one shared stack and put back when its call ends. A read looks at the
// local, then the global: the same answer as searching the scopes innermost-first, but O(1)
// whatever the call depth.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "interpreter/flow.hpp"
#include "interpreter/graphics/graphics_handle.hpp"
#include "interpreter/node_code.hpp"
#include "interpreter/shortcuts.hpp"
#include "interpreter/symbols.hpp"
#include "interpreter/value.hpp"
#include "parser/ast.hpp"
#include "support/stack_guard.hpp"

namespace vormel {

using ExportTable = Dict;

class Interpreter {
 public:
  Interpreter();
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Statements (statements.cpp). Each reports the flow pending after it.
  Flow execute(const Stmt& stmt);
  Flow execute_block(const StmtList& stmts);
  // execute_block() built into its caller, for the hot statements and calls.
  [[gnu::always_inline]] Flow run_block(const StmtList& stmts) {
    // The nesting check is here, not in every statement: a list is where statements nest.
    if (stack_pointer_below(stack_limit_)) [[unlikely]]
      return refuse_nesting();
    for (const StmtPtr& stmt : stmts)
      if (Flow flow = execute(*stmt); flow != kFlowNormal) return flow;
    return pending_;
  }

  // Expressions and calls (expressions.cpp, calls.cpp).
  Value evaluate(const Expr& expr);
  [[gnu::noinline]] Value evaluate_call(const CallExpr& call);
  // `site` is the call (null for the runtime's call of main), kept for error traces.
  Value run_user_function(const FunctionDef& def, std::span<Value> args, const CallExpr* site);
  // Caches in the node what the call's name routes to.
  [[gnu::noinline]] static void resolve_call_kind(const CallExpr& call);

  // Variables (variables.cpp).
  void set_variable(Symbol symbol, Value value);
  Value get_variable(Symbol symbol) const;
  // The value a read would give, without copying it; null when nothing binds the name.
  [[gnu::always_inline]] const Value* peek_variable(Symbol symbol) const {
    auto index = static_cast<size_t>(symbol);
    if (index >= slot_count_) return nullptr;
    const VariableSlot& s = slots_[index];
    if (s.local_depth != 0) return &s.local;
    return s.has_global ? &s.global : nullptr;
  }
  // peek_variable() for a name already resolved to its symbol; null for one that is not yet,
  // so that the shortcuts leave its first run to the general path, which resolves it.
  [[gnu::always_inline]] const Value* peek_resolved(const IdentifierExpr& id) const {
    return id.symbol != kUnresolved ? peek_variable(id.symbol) : nullptr;
  }
  // The binding that both a read and a write of the name would reach right now, or null
  // when they would reach different places (the in-place update fast paths need this).
  Value* binding_read_and_written(Symbol symbol) {
    auto index = static_cast<size_t>(symbol);
    if (index >= slot_count_) return nullptr;
    VariableSlot& s = slots_[index];
    if (s.declared_global || scope_depth_ == 0)
      return s.local_depth == 0 && s.has_global ? &s.global : nullptr;
    return s.local_depth == scope_depth_ ? &s.local : nullptr;
  }
  // The binding that a store to the name would overwrite right now, or null when the store
  // would make a new one (the store fast paths write into it).
  [[gnu::always_inline]] Value* binding_written(Symbol symbol) {
    auto index = static_cast<size_t>(symbol);
    if (index >= slot_count_) return nullptr;
    VariableSlot& s = slots_[index];
    if (s.declared_global || scope_depth_ == 0) return s.has_global ? &s.global : nullptr;
    return s.local_depth == scope_depth_ ? &s.local : nullptr;
  }
  // set_variable() for a value that may be taken: what it leaves behind is to be dropped.
  [[gnu::always_inline]] void store_variable(Symbol symbol, Value& value) {
    VariableSlot& s = slot(symbol);
    if (!s.declared_global && scope_depth_ != 0) return bind_local(s, symbol, value);
    if (s.has_global) return s.global.swap(value);
    set_variable(symbol, std::move(value));
  }
  void declare_global(Symbol symbol);
  void set_variable(std::string_view name, Value value) {
    set_variable(intern(name), std::move(value));
  }
  Value get_variable(std::string_view name) const { return get_variable(intern(name)); }
  // Written straight into globals, bypassing scopes and global declarations (item imports).
  void set_global(Symbol symbol, Value value);
  // The globals in the order in which they were first created.
  std::vector<std::pair<std::string, Value>> globals_in_order() const;

  // Modules (modules.cpp).
  [[gnu::noinline]] Flow execute_use(const UseStmt& use);
  std::optional<ExportTable> load_module(const std::string& name);
  const ExportTable* find_module(std::string_view name) const;

  // Control state: what a `return`, `break` or `continue` left pending (flow.hpp).
  Flow pending_flow() const { return pending_; }
  bool return_pending() const { return (pending_ & kFlowReturn) != 0; }
  bool break_pending() const { return (pending_ & kFlowBreak) != 0; }

  // After an interrupt unwound the running statement (whose calls put back their bindings
  // as they unwound): clears pending control flow (interrupt.cpp).
  void recover_from_interrupt();

  // The graphics context, made on first use: most interpreters never draw.
  GraphicsContext& graphics() { return graphics_ ? *graphics_ : create_graphics(); }

  // Keeps a called function's definition alive as long as this interpreter, so that a call
  // need not hold a reference while its body runs (the body may rebind the function's name).
  // A kept definition has its parameters interned.
  [[gnu::always_inline]] void keep_alive(const Value& function) {
    if (function.as_function().kept_by != serial_) [[unlikely]]
      keep_function(function.function_def());
  }

  // The interpreter running on this thread right now (the innermost, when a module's runs
  // inside its importer's `use`), or null.
  static const Interpreter* running() { return running_; }
  // The calls active now, outermost first: each one's call site (null for the runtime's
  // call of main).
  std::span<const CallExpr* const> call_sites() const {
    return std::span<const CallExpr* const>(call_sites_.get() + 1, scope_depth_);
  }

  // Nested user-function calls allowed before a call fails with a recursion error.
  static constexpr uint32_t kMaxCallDepth = 200000;
  // Calls stop this far above the point where nesting within one call is refused, so that
  // runaway recursion reports itself as recursion.
  static constexpr uintptr_t kCallStackMargin = 256 * 1024;

 private:
  struct VariableSlot {
    Value local;  // the innermost call's binding, when local_depth != 0
    Value global;
    uint32_t local_depth = 0;  // the call scope that owns `local` (1 = outermost call)
    bool has_global = false;
    bool declared_global = false;
  };
  // A local binding shadowed by a newer call's binding of the same name.
  struct SavedBinding {
    Symbol symbol = 0;
    uint32_t depth = 0;
    Value value;
  };
  VariableSlot& slot(Symbol symbol) {
    auto index = static_cast<size_t>(symbol);
    return index < slot_count_ ? slots_[index] : grow_slots(index);
  }
  [[gnu::noinline]] VariableSlot& grow_slots(size_t index);
  [[gnu::noinline]] void keep_function(const FunctionDefPtr& def);
  [[gnu::noinline, gnu::cold]] Flow refuse_nesting();
  [[gnu::noinline]] void grow_saved();
  // Binds a name in the innermost call scope. Swaps rather than assigns: the spare saved
  // entry and a fresh slot hold null, so nothing is released on the way.
  void bind_local(VariableSlot& s, Symbol symbol, Value& value) {
    if (s.local_depth != scope_depth_) {
      if (saved_count_ == saved_capacity_) grow_saved();
      SavedBinding& saved = saved_[saved_count_++];
      saved.symbol = symbol;
      saved.depth = s.local_depth;
      saved.value.swap(s.local);
      s.local_depth = scope_depth_;
    }
    s.local.swap(value);
  }
  // Puts back the bindings saved since `saved_base`, newest first.
  void restore_saved(size_t saved_base) {
    while (saved_count_ > saved_base) {
      SavedBinding& saved = saved_[--saved_count_];
      VariableSlot& s = slots_[static_cast<size_t>(saved.symbol)];
      s.local = std::move(saved.value);
      s.local_depth = saved.depth;
    }
  }
  // One user-function call: its parameters bound over the names' current bindings, and put
  // back by the destructor after what the body bound, newest first (also when an interrupt
  // unwinds the call). The general call and the prepared calls both run in one. Each
  // argument is swapped into its name's slot, so that while the body runs the argument
  // array holds the bindings it shadows, and `shadowed_depths` (one per argument) the
  // call scopes that own them. `site` is kept for error traces.
  class CallFrame {
   public:
    [[gnu::always_inline]] CallFrame(Interpreter& in, const FunctionDef& def, std::span<Value> args,
                                     uint32_t* shadowed_depths, const CallExpr* site)
        : in_(in),
          symbols_(def.param_symbols.data()),
          args_(args),
          shadowed_depths_(shadowed_depths),
          saved_base_(in.saved_count_) {
      const uint32_t depth = ++in.scope_depth_;
      in.call_sites_[depth] = site;
      for (size_t i = 0; i < args.size(); ++i) {
        const auto symbol = static_cast<Symbol>(symbols_[i]);
        VariableSlot& s = in.slot(symbol);
        if (s.declared_global) [[unlikely]] {
          in.set_variable(symbol, std::move(args[i]));
          shadowed_depths_[i] = kNotBound;
          continue;
        }
        shadowed_depths_[i] = s.local_depth;
        s.local_depth = depth;
        s.local.swap(args[i]);
      }
    }
    [[gnu::always_inline]] ~CallFrame() {
      in_.restore_saved(saved_base_);
      for (size_t i = args_.size(); i-- > 0;) {
        if (shadowed_depths_[i] == kNotBound) [[unlikely]]
          continue;
        VariableSlot& s = in_.slots_[static_cast<size_t>(symbols_[i])];
        s.local.swap(args_[i]);
        s.local_depth = shadowed_depths_[i];
      }
      --in_.scope_depth_;
    }
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;

   private:
    static constexpr uint32_t kNotBound = ~uint32_t{0};  // a parameter declared global
    Interpreter& in_;
    const SymbolCache* symbols_;
    std::span<Value> args_;
    uint32_t* shadowed_depths_;
    size_t saved_base_;
  };
  // The general evaluator and executor: one switch over the node's kind. Prepared nodes
  // fall back to them for rare shapes; with the shortcuts off they do everything.
  [[gnu::noinline]] Value evaluate_node(const Expr& expr);
  [[gnu::noinline]] Flow execute_node(const Stmt& stmt);
  friend Value prepare_and_evaluate(Interpreter& interpreter, const Expr& expr);
  friend Flow prepare_and_execute(Interpreter& interpreter, const Stmt& stmt);
  friend struct ExpressionForms;
  friend struct CallForms;
  friend struct StatementForms;
  [[gnu::noinline]] Value evaluate_index(const IndexExpr& expr);
  [[gnu::noinline]] Value evaluate_range(const RangeExpr& expr);
  // A range's bounds (to >= from), or the error the range fails with.
  Value evaluate_range_bounds(const RangeExpr& expr, int64_t& from, int64_t& to);
  [[gnu::noinline]] Value call_dotted(const CallExpr& call, std::span<Value> args);
  [[gnu::noinline]] static void resolve_dotted_route(const CallExpr& call);
  Value call_plain(const CallExpr& call, std::span<Value> args);
  [[gnu::noinline]] Value evaluate_routed_call(const CallExpr& call);
  [[gnu::noinline]] void intern_parameters(const FunctionDef& def);
  void store_value(const NodePlace& at, SymbolCache& cache, const std::string& name,
                   const Expr& expr, std::string_view context);
  [[gnu::noinline]] Flow execute_compound_assign(const CompoundAssignStmt& stmt);
  // The rest of `x += e` once the current value and the operand are read.
  [[gnu::noinline]] Flow finish_compound_assign(const CompoundAssignStmt& stmt, Value& current,
                                                Value& operand);
  [[gnu::noinline]] Flow execute_while(const WhileStmt& stmt);
  [[gnu::noinline]] Flow execute_for(const ForStmt& stmt);
  [[gnu::noinline]] Flow execute_match(const MatchStmt& stmt);
  [[gnu::noinline]] Flow execute_try(const TryStmt& stmt);

  [[gnu::noinline]] Value evaluate_binary(const BinaryOpExpr& expr);
  [[gnu::noinline]] Value evaluate_array(const ArrayExpr& expr);
  [[gnu::noinline]] Value evaluate_dict(const DictExpr& expr);
  [[gnu::noinline]] Value evaluate_unary(const UnaryOpExpr& expr);
  [[gnu::noinline]] Value evaluate_string(const StringExpr& expr);
  [[gnu::noinline]] Flow execute_let(const LetStmt& stmt);
  [[gnu::noinline]] Flow execute_function(const FunctionStmt& stmt);
  [[gnu::noinline]] Flow execute_global(const GlobalStmt& stmt);
  [[gnu::noinline]] Flow execute_assign(const AssignStmt& stmt);
  [[gnu::noinline]] Flow execute_if(const IfStmt& stmt);
  [[gnu::noinline]] Flow execute_return(const ReturnStmt& stmt);
  [[gnu::noinline]] Flow execute_expression(const ExprStmt& stmt);

  std::vector<VariableSlot> slots_;
  size_t slot_count_ = 0;  // slots_.size(), kept apart: its element size makes size() a division
  uintptr_t stack_limit_;  // this thread's stack-exhaustion address, checked on every call
  // Below this stack address a prepared call leaves the call to the general path: near the
  // stack's limit, and everywhere when the debug trace is on (then it is the highest
  // address), so that a call makes one compare for both.
  uintptr_t prepared_call_floor_;
  // Names bound by the active call scopes, oldest first, with the bindings they shadowed.
  // Only the first saved_count_ entries are live; the rest hold null values for reuse.
  std::vector<SavedBinding> saved_;
  size_t saved_count_ = 0;
  size_t saved_capacity_ = 0;  // saved_.size()
  uint32_t scope_depth_ = 0;   // active user-function calls
  // The call site of each active call, by its scope depth (1 = outermost); one store per
  // call, read only to report an error. Sized for the deepest nesting allowed, and left
  // untouched (so unmapped) beyond the depth reached.
  std::unique_ptr<const CallExpr*[]> call_sites_;
  static thread_local const Interpreter* running_;
  const Interpreter* running_before_;
  std::vector<Symbol> global_order_;
  [[gnu::noinline]] GraphicsContext& create_graphics();
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  using ModuleMap = std::unordered_map<std::string, ExportTable, NameHash, std::equal_to<>>;

  const uint64_t serial_;  // this interpreter's number, unique in the process
  std::vector<FunctionDefPtr> kept_functions_;
  GraphicsContextPtr graphics_;
  Flow pending_ = kFlowNormal;
  Value returned_;          // the pending return value, when pending_ has kFlowReturn
  Value failed_condition_;  // the Error a prepared condition gave, until it is reported
  ModuleMap modules_;
  ModuleMap module_cache_;
};

// A node runs through the function prepared for its shape: one indirect call, no switch.
// With the shortcuts off, every node goes through the general switch instead.
[[gnu::always_inline]] inline Value Interpreter::evaluate(const Expr& expr) {
  if (!shortcuts_enabled()) return evaluate_node(expr);
  return code_as<EvaluateFn>(expr.code)(*this, expr);
}

[[gnu::always_inline]] inline Flow Interpreter::execute(const Stmt& stmt) {
  if (!shortcuts_enabled()) return execute_node(stmt);
  return code_as<ExecuteFn>(stmt.code)(*this, stmt);
}

// Runs a parsed script in a fresh interpreter: lets, functions and uses first, then `main`
// if there is one, else every top-level statement.
void run_program(const StmtList& program, bool debug);

}  // namespace vormel
