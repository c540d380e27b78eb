// Variables with dynamic scoping by shallow binding. Each symbol has one slot: its global
// value and its innermost local binding; the bindings that one shadows wait on a shared
// stack until their call is current again. Reading the slot gives what searching the scopes
// innermost-first would give, in O(1) at any call depth.
#include "interpreter/interpreter.hpp"

namespace vormel {

Interpreter::VariableSlot& Interpreter::grow_slots(size_t index) {
  slots_.resize(std::max(index + 1, symbol_count()));
  slot_count_ = slots_.size();
  return slots_[index];
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
  bind_local(s, symbol, value);
}

void Interpreter::grow_saved() {
  saved_.resize(std::max<size_t>(64, saved_.size() * 2));
  saved_capacity_ = saved_.size();
}

Value Interpreter::get_variable(Symbol symbol) const {
  const Value* value = peek_variable(symbol);
  return value != nullptr ? *value : Value::null();
}

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

}  // namespace vormel
