// The syntax tree: single-owner nodes, tagged by kind, neither copied nor moved.
//
// Nodes are small structs deriving from Expr or Stmt; code switches on `kind` and
// static_casts (no visitors on the hot path). A few nodes carry `mutable` caches that the
// interpreter fills on first use (interned names, resolved built-ins, a NodeCache); they
// never change what a node means.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lexer/token.hpp"

namespace vormel {

enum class ExprKind : uint8_t {
  Number,
  Float,
  String,
  Boolean,
  Identifier,
  BinaryOp,
  UnaryOp,
  Call,
  Array,
  Dict,
  Index,
  Range,
};

enum class StmtKind : uint8_t {
  Let,
  Assign,
  CompoundAssign,
  Function,
  If,
  While,
  For,
  Match,
  Try,
  Return,
  Break,
  Continue,
  Global,
  Use,
  Expr,
};

// Cache slot for an interned variable name; -1 until the interpreter resolves it.
using SymbolCache = int32_t;
inline constexpr SymbolCache kUnresolved = -1;

struct Expr;
struct Stmt;

// What the interpreter prepares for a node on its first run (a literal's value, a member's
// key, where a dotted call goes). The type is the interpreter's (interpreter/node_cache.hpp);
// the tree only owns it.
struct NodeCache;
struct NodeCacheDeleter {
  void operator()(NodeCache* cache) const noexcept;
};
using NodeCachePtr = std::unique_ptr<NodeCache, NodeCacheDeleter>;

// One word in each expression and statement node (and in each condition) for the tool that
// runs the tree: the code that runs the node's shape. The tree knows it only as an address;
// the interpreter gives it its type and its first value, the code that prepares a node
// (interpreter/node_code.hpp).
using NodeCode = void (*)();
extern const NodeCode kPrepareExpr;
extern const NodeCode kPrepareStmt;

// Frees syntax trees one level at a time: a node freed while another is being freed is
// queued, so that releasing a tree nested millions deep needs no deep native recursion.
// Converts from std::default_delete so that std::make_unique results can be stored.
struct NodeDeleter {
  NodeDeleter() = default;
  template <typename U>
  NodeDeleter(const std::default_delete<U>&) noexcept {}  // NOLINT: implicit on purpose
  void operator()(Expr* expr) const noexcept;
  void operator()(Stmt* stmt) const noexcept;
};

// Where a node starts in its source: the source's number (source_names.hpp; 0 when unknown)
// and its first token's line and column, 1-based (0 when unknown). Held in the room after
// the node's kind, so that nodes are no larger for it; read only to report an error.
struct [[gnu::packed]] NodePlace {
  uint8_t source = 0;
  uint16_t column = 0;  // columns past 65535 are kept as 65535
  uint32_t line = 0;
};
static_assert(sizeof(NodePlace) == 7, "a place fits the room after a node's kind");

struct Expr {
  const ExprKind kind;
  mutable NodePlace place;
  mutable NodeCode code = kPrepareExpr;
  explicit Expr(ExprKind k) : kind(k) {}
  virtual ~Expr() = default;
  Expr(const Expr&) = delete;
  Expr& operator=(const Expr&) = delete;
};
static_assert(sizeof(Expr) == 3 * sizeof(void*), "the place costs a node no room");
using ExprPtr = std::unique_ptr<Expr, NodeDeleter>;
using ExprList = std::vector<ExprPtr>;

struct NumberExpr : Expr {
  int64_t value;
  explicit NumberExpr(int64_t v) : Expr(ExprKind::Number), value(v) {}
};
struct FloatExpr : Expr {
  double value;
  explicit FloatExpr(double v) : Expr(ExprKind::Float), value(v) {}
};
struct StringExpr : Expr {
  std::string value;
  mutable NodeCachePtr cache;  // its value, built once and shared by every evaluation
  explicit StringExpr(std::string v) : Expr(ExprKind::String), value(std::move(v)) {}
};
struct BooleanExpr : Expr {
  bool value;
  explicit BooleanExpr(bool v) : Expr(ExprKind::Boolean), value(v) {}
};
struct IdentifierExpr : Expr {
  std::string name;
  mutable SymbolCache symbol = kUnresolved;
  explicit IdentifierExpr(std::string n) : Expr(ExprKind::Identifier), name(std::move(n)) {}
};
struct BinaryOpExpr : Expr {
  ExprPtr left;
  Token op;
  ExprPtr right;
  mutable NodeCachePtr cache;  // arithmetic on names and numbers, prepared as one program
  BinaryOpExpr(ExprPtr l, Token o, ExprPtr r)
      : Expr(ExprKind::BinaryOp), left(std::move(l)), op(std::move(o)), right(std::move(r)) {}
};
struct UnaryOpExpr : Expr {
  Token op;
  ExprPtr operand;
  UnaryOpExpr(Token o, ExprPtr e)
      : Expr(ExprKind::UnaryOp), op(std::move(o)), operand(std::move(e)) {}
};
struct CallExpr : Expr {
  std::string name;
  ExprList args;
  // Interpreter caches: what the name routes to (a built-in's index, or one of the kinds
  // below) and the interned symbol of a plain name.
  static constexpr int32_t kUnresolvedCall = -2;
  static constexpr int32_t kPlainCall = -1;   // no built-in: a user function, by variable
  static constexpr int32_t kDottedCall = -3;  // "m.f": a module function
  mutable int32_t builtin = kUnresolvedCall;
  mutable SymbolCache symbol = kUnresolved;
  mutable NodeCachePtr cache;              // dotted calls only: where "m.f" goes
  mutable uint8_t variable_arguments = 0;  // bit i: argument i is a name, read in place
  CallExpr(std::string n, ExprList a)
      : Expr(ExprKind::Call), name(std::move(n)), args(std::move(a)) {}
};
struct ArrayExpr : Expr {
  ExprList elements;
  explicit ArrayExpr(ExprList e) : Expr(ExprKind::Array), elements(std::move(e)) {}
};
using DictEntryExpr = std::pair<std::string, ExprPtr>;
struct DictExpr : Expr {
  std::vector<DictEntryExpr> entries;
  explicit DictExpr(std::vector<DictEntryExpr> e) : Expr(ExprKind::Dict), entries(std::move(e)) {}
};
struct IndexExpr : Expr {
  ExprPtr object;
  ExprPtr index;
  mutable NodeCachePtr cache;  // a constant string index, prepared for dict lookups
  IndexExpr(ExprPtr o, ExprPtr i)
      : Expr(ExprKind::Index), object(std::move(o)), index(std::move(i)) {}
};
struct RangeExpr : Expr {
  ExprPtr start;
  ExprPtr end;
  RangeExpr(ExprPtr s, ExprPtr e) : Expr(ExprKind::Range), start(std::move(s)), end(std::move(e)) {}
};

struct Stmt {
  const StmtKind kind;
  mutable NodePlace place;
  mutable NodeCode code = kPrepareStmt;
  explicit Stmt(StmtKind k) : kind(k) {}
  virtual ~Stmt() = default;
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
};
static_assert(sizeof(Stmt) == 3 * sizeof(void*), "the place costs a node no room");
using StmtPtr = std::unique_ptr<Stmt, NodeDeleter>;
using StmtList = std::vector<StmtPtr>;

struct LetStmt : Stmt {
  std::string name;
  ExprPtr value;
  mutable SymbolCache symbol = kUnresolved;
  LetStmt(std::string n, ExprPtr v)
      : Stmt(StmtKind::Let), name(std::move(n)), value(std::move(v)) {}
};
struct AssignStmt : Stmt {
  std::string name;
  ExprPtr value;
  mutable SymbolCache symbol = kUnresolved;
  AssignStmt(std::string n, ExprPtr v)
      : Stmt(StmtKind::Assign), name(std::move(n)), value(std::move(v)) {}
};
struct CompoundAssignStmt : Stmt {
  std::string name;
  Token op;
  ExprPtr value;
  mutable SymbolCache symbol = kUnresolved;
  CompoundAssignStmt(std::string n, Token o, ExprPtr v)
      : Stmt(StmtKind::CompoundAssign), name(std::move(n)), op(std::move(o)), value(std::move(v)) {}
};

// A function's parameters and body. Shared (immutably) between the defining statement and
// every Function value made from it, so neither defining nor calling copies the tree.
struct FunctionDef {
  std::vector<std::string> params;
  StmtList body;
  mutable std::vector<SymbolCache> param_symbols;  // filled by the interpreter
  mutable bool params_interned = false;
  // The value of the `return` that ends the body, when the body ends with one: prepared
  // calls evaluate it as the call's result (filled by the interpreter with the symbols).
  mutable const Expr* tail_value = nullptr;
  // The serial number of the interpreter that keeps this definition alive, if any.
  mutable uint64_t kept_by = 0;
};
using FunctionDefPtr = std::shared_ptr<const FunctionDef>;

struct FunctionStmt : Stmt {
  std::string name;
  FunctionDefPtr def;  // never null
  mutable SymbolCache symbol = kUnresolved;
  FunctionStmt(std::string n, FunctionDefPtr d)
      : Stmt(StmtKind::Function), name(std::move(n)), def(std::move(d)) {}
};
struct IfStmt : Stmt {
  ExprPtr condition;
  mutable NodeCode test = nullptr;  // how the condition is tested, set by the interpreter
  StmtList then_body;
  std::optional<StmtList> else_body;
  IfStmt(ExprPtr c, StmtList t, std::optional<StmtList> e)
      : Stmt(StmtKind::If),
        condition(std::move(c)),
        then_body(std::move(t)),
        else_body(std::move(e)) {}
};
struct WhileStmt : Stmt {
  ExprPtr condition;
  mutable NodeCode test = nullptr;  // how the condition is tested, set by the interpreter
  StmtList body;
  mutable NodeCachePtr cache;  // a loop over numbers alone, prepared as flat code
  WhileStmt(ExprPtr c, StmtList b)
      : Stmt(StmtKind::While), condition(std::move(c)), body(std::move(b)) {}
};
struct ForStmt : Stmt {
  std::string var;
  ExprPtr iter;
  StmtList body;
  mutable SymbolCache symbol = kUnresolved;
  ForStmt(std::string v, ExprPtr i, StmtList b)
      : Stmt(StmtKind::For), var(std::move(v)), iter(std::move(i)), body(std::move(b)) {}
};

enum class PatternKind : uint8_t { Value, Wildcard };
struct Pattern {
  PatternKind kind = PatternKind::Wildcard;
  ExprPtr value;  // set for PatternKind::Value
};
struct MatchArm {
  Pattern pattern;
  StmtList body;
};
struct MatchStmt : Stmt {
  ExprPtr expr;
  std::vector<MatchArm> arms;
  mutable NodeCachePtr cache;  // literal arms, prepared as a table by the subject's kind
  MatchStmt(ExprPtr e, std::vector<MatchArm> a)
      : Stmt(StmtKind::Match), expr(std::move(e)), arms(std::move(a)) {}
};
struct TryStmt : Stmt {
  StmtList body;
  std::string catch_var;
  StmtList catch_body;
  mutable SymbolCache symbol = kUnresolved;
  TryStmt(StmtList b, std::string v, StmtList c)
      : Stmt(StmtKind::Try),
        body(std::move(b)),
        catch_var(std::move(v)),
        catch_body(std::move(c)) {}
};
struct ReturnStmt : Stmt {
  ExprPtr value;  // null when written without a value
  explicit ReturnStmt(ExprPtr v) : Stmt(StmtKind::Return), value(std::move(v)) {}
};
struct BreakStmt : Stmt {
  BreakStmt() : Stmt(StmtKind::Break) {}
};
struct ContinueStmt : Stmt {
  ContinueStmt() : Stmt(StmtKind::Continue) {}
};
struct GlobalStmt : Stmt {
  std::string name;
  explicit GlobalStmt(std::string n) : Stmt(StmtKind::Global), name(std::move(n)) {}
};
struct UseStmt : Stmt {
  std::string module;
  std::optional<std::string> alias;
  std::optional<std::vector<std::string>> items;
  UseStmt(std::string m, std::optional<std::string> a, std::optional<std::vector<std::string>> i)
      : Stmt(StmtKind::Use), module(std::move(m)), alias(std::move(a)), items(std::move(i)) {}
};
struct ExprStmt : Stmt {
  ExprPtr expr;
  explicit ExprStmt(ExprPtr e) : Stmt(StmtKind::Expr), expr(std::move(e)) {}
};

// Debug text: Let { name: "x", value: Number(1) }, [..], Some(..)/None.
std::string debug_text(const Expr& expr);
std::string debug_text(const Stmt& stmt);
std::string debug_text(const Pattern& pattern);
std::string debug_text(const StmtList& list);
// Appends the debug text of `list` to `out`, in time linear in the text's length.
void append_debug_text(std::string& out, const StmtList& list);

}  // namespace vormel
