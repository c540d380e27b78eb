// Releasing the syntax tree.
#include "parser/ast.hpp"

#include <new>

namespace vormel {
namespace {

struct PendingNodes {
  std::vector<Expr*> exprs;
  std::vector<Stmt*> stmts;
};
thread_local PendingNodes* g_pending = nullptr;

// Deletes `first` and then every node its destruction queued, until none is left.
template <typename Node>
void delete_iteratively(Node* first) {
  PendingNodes queue;
  g_pending = &queue;
  delete first;
  for (;;) {
    if (!queue.exprs.empty()) {
      Expr* next = queue.exprs.back();
      queue.exprs.pop_back();
      delete next;
    } else if (!queue.stmts.empty()) {
      Stmt* next = queue.stmts.back();
      queue.stmts.pop_back();
      delete next;
    } else {
      break;
    }
  }
  g_pending = nullptr;
}

}  // namespace

namespace {

// A node whose deletion is queued while another is being deleted waits in the queue; when
// memory is too short even for that, it is deleted at once (recursing one level).
template <typename Node>
void delete_node(Node* node, std::vector<Node*> PendingNodes::*queue) {
  if (g_pending == nullptr) return delete_iteratively(node);
  try {
    (g_pending->*queue).push_back(node);
  } catch (const std::bad_alloc&) {
    delete node;
  }
}

}  // namespace

void NodeDeleter::operator()(Expr* expr) const noexcept { delete_node(expr, &PendingNodes::exprs); }
void NodeDeleter::operator()(Stmt* stmt) const noexcept { delete_node(stmt, &PendingNodes::stmts); }

}  // namespace vormel
