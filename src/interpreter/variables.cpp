// Variables with dynamic scoping by shallow binding. Each symbol has one slot: its global
// value and a stack of local bindings, the innermost call's on top. Reading the top binding
// gives what searching the scopes innermost-first would give, in O(1) at any call depth.
#include "interpreter/interpreter.hpp"

namespace vormel {

Interpreter::VariableSlot& Interpreter::slot(Symbol symbol) {
  auto index = static_cast<size_t>(symbol);
  if (index >= slot_count_) {
    slots_.resize(std::max(index + 1, symbol_count()));
    slot_count_ = slots_.size();
  }
  return slots_[index];
}

const Interpreter::VariableSlot* Interpreter::find_slot(Symbol symbol) const {
  auto index = static_cast<size_t>(symbol);
  return index < slot_count_ ? &slots_[index] : nullptr;
}

void Interpreter::set_variable(Symbol symbol, Value value) {
  VariableSlot& s = slot(symbol);
  if (s.declared_global || scope_depth_ == 0) {
    if (!s.has_global) {
      s.has_global = true;
      global_order_.push_back(symbol);
    }
    s.global = std::move(value);
    return;
  }
  if (!s.locals.empty() && s.locals.back().depth == scope_depth_) {
    s.locals.back().value = std::move(value);
    return;
  }
  s.locals.push_back({scope_depth_, std::move(value)});
  scope_bindings_[scope_depth_ - 1].push_back(symbol);
}

Value Interpreter::get_variable(Symbol symbol) const {
  const VariableSlot* s = find_slot(symbol);
  if (s == nullptr) return Value::null();
  if (!s->locals.empty()) return s->locals.back().value;
  if (s->has_global) return s->global;
  return Value::null();
}

const Value* Interpreter::peek_variable(Symbol symbol) const {
  const VariableSlot* s = find_slot(symbol);
  if (s == nullptr) return nullptr;
  if (!s->locals.empty()) return &s->locals.back().value;
  if (s->has_global) return &s->global;
  return nullptr;
}

Value* Interpreter::binding_read_and_written(Symbol symbol) {
  auto index = static_cast<size_t>(symbol);
  if (index >= slot_count_) return nullptr;
  VariableSlot& s = slots_[index];
  if (s.declared_global || scope_depth_ == 0) {
    return s.locals.empty() && s.has_global ? &s.global : nullptr;
  }
  if (!s.locals.empty() && s.locals.back().depth == scope_depth_) return &s.locals.back().value;
  return nullptr;
}

bool Interpreter::variable_exists(Symbol symbol) const { return peek_variable(symbol) != nullptr; }

void Interpreter::declare_global(Symbol symbol) { slot(symbol).declared_global = true; }

void Interpreter::set_global(Symbol symbol, Value value) {
  VariableSlot& s = slot(symbol);
  if (!s.has_global) {
    s.has_global = true;
    global_order_.push_back(symbol);
  }
  s.global = std::move(value);
}

std::vector<std::pair<std::string, Value>> Interpreter::globals_in_order() const {
  std::vector<std::pair<std::string, Value>> out;
  out.reserve(global_order_.size());
  for (Symbol symbol : global_order_)
    out.emplace_back(symbol_name(symbol), slots_[static_cast<size_t>(symbol)].global);
  return out;
}

void Interpreter::push_scope() {
  if (scope_capacity_ == scope_depth_) {
    scope_bindings_.emplace_back();
    ++scope_capacity_;
  }
  ++scope_depth_;
}

void Interpreter::pop_scope() {
  std::vector<Symbol>& bound = scope_bindings_[scope_depth_ - 1];
  for (Symbol symbol : bound) slots_[static_cast<size_t>(symbol)].locals.pop_back();
  bound.clear();
  --scope_depth_;
}

}  // namespace vormel
