// The interpreter object: variables (dynamic scoping with shallow binding), the return
// slot and loop flags, modules, and the graphics context.
//
// Variables. Every name is interned to a Symbol; the interpreter keeps one slot per symbol
// holding the global value (if any) and a stack of local bindings, one per active call scope
// that bound the name, innermost on top. A read looks at the top binding, then the global:
// the same answer as searching the scopes innermost-first, but O(1) whatever the call depth.
// Each call scope records the symbols it bound so that leaving it pops exactly those.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "interpreter/graphics/graphics_context.hpp"
#include "interpreter/symbols.hpp"
#include "interpreter/value.hpp"
#include "parser/ast.hpp"

namespace vormel {

using ExportTable = Dict;

class Interpreter {
 public:
  Interpreter();
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Statements (statements.cpp).
  void execute(const Stmt& stmt);
  void execute_block(const StmtList& stmts);

  // Expressions and calls (expressions.cpp, calls.cpp).
  Value evaluate(const Expr& expr);
  [[gnu::noinline]] Value evaluate_call(const CallExpr& call);
  Value run_user_function(const FunctionDef& def, std::span<Value> args);

  // Variables (variables.cpp).
  void set_variable(Symbol symbol, Value value);
  Value get_variable(Symbol symbol) const;
  // The value a read would give, without copying it; null when nothing binds the name.
  const Value* peek_variable(Symbol symbol) const;
  // The binding that both a read and a write of the name would reach right now, or null
  // when they would reach different places (the in-place update fast paths need this).
  Value* binding_read_and_written(Symbol symbol);
  // Whether any scope or the globals hold the name (the undefined-variable check).
  bool variable_exists(Symbol symbol) const;
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
  void execute_use(const UseStmt& use);
  std::optional<ExportTable> load_module(const std::string& name);
  const ExportTable* find_module(std::string_view name) const;

  // Control state.
  std::optional<Value>& return_slot() { return return_slot_; }
  bool break_flag = false;
  bool continue_flag = false;
  // Stop rule of statement lists: a return value pending or a loop flag set.
  bool should_stop() const { return return_slot_.has_value() || break_flag || continue_flag; }

  GraphicsContext& graphics() { return graphics_; }

  // Nested user-function calls allowed before a call fails with a recursion error.
  static constexpr uint32_t kMaxCallDepth = 200000;

 private:
  struct LocalBinding {
    uint32_t depth;  // the call scope that owns it (1 = outermost call)
    Value value;
  };
  struct VariableSlot {
    Value global;
    bool has_global = false;
    bool declared_global = false;
    std::vector<LocalBinding> locals;
  };
  VariableSlot& slot(Symbol symbol);
  const VariableSlot* find_slot(Symbol symbol) const;

  void push_scope();
  void pop_scope();
  [[gnu::noinline]] Value evaluate_index(const IndexExpr& expr);
  [[gnu::noinline]] Value evaluate_range(const RangeExpr& expr);
  [[gnu::noinline]] Value call_dotted(const CallExpr& call, std::span<Value> args);
  Value call_plain(const CallExpr& call, std::span<Value> args);
  Value evaluate_assigned_value(const Expr& expr, Symbol target);
  void store_value(SymbolCache& cache, const std::string& name, const Expr& expr,
                   std::string_view context);
  [[gnu::noinline]] void execute_compound_assign(const CompoundAssignStmt& stmt);
  [[gnu::noinline]] void execute_while(const WhileStmt& stmt);
  [[gnu::noinline]] void execute_for(const ForStmt& stmt);
  [[gnu::noinline]] void execute_match(const MatchStmt& stmt);
  [[gnu::noinline]] void execute_try(const TryStmt& stmt);

  [[gnu::noinline]] Value evaluate_binary(const BinaryOpExpr& expr);
  [[gnu::noinline]] Value evaluate_array(const ArrayExpr& expr);
  [[gnu::noinline]] Value evaluate_dict(const DictExpr& expr);
  [[gnu::noinline]] Value evaluate_unary(const UnaryOpExpr& expr);
  [[gnu::noinline]] Value evaluate_string(const StringExpr& expr);
  void execute_let(const LetStmt& stmt);
  void execute_assign(const AssignStmt& stmt);
  void execute_if(const IfStmt& stmt);
  void execute_return(const ReturnStmt& stmt);
  void execute_expression(const ExprStmt& stmt);

  std::vector<VariableSlot> slots_;
  size_t slot_count_ = 0;  // slots_.size(), kept apart: its element size makes size() a division
  uintptr_t stack_limit_;  // this thread's stack-exhaustion address, checked on every call
  // Symbols bound by each active call scope, innermost last; its size is the call depth.
  std::vector<std::vector<Symbol>> scope_bindings_;
  uint32_t scope_depth_ = 0;
  uint32_t scope_capacity_ = 0;  // scope_bindings_.size()
  std::vector<Symbol> global_order_;
  GraphicsContext graphics_;
  std::optional<Value> return_slot_;
  std::unordered_map<std::string, ExportTable> modules_;
  std::unordered_map<std::string, ExportTable> module_cache_;
};

// Runs a parsed script in a fresh interpreter: lets, functions and uses first, then `main`
// if there is one, else every top-level statement.
void run_program(const StmtList& program, bool debug);

}  // namespace vormel
