// A `while` loop that only computes on numbers, as the inner loop of a Mandelbrot set does:
//
//   while n < limit and zr * zr + zi * zi <= 4.0 {
//     t = zr * zr - zi * zi + cr
//     zi = 2.0 * zr * zi + ci
//     zr = t
//     n += 1
//   }
//
// Its condition and each store are number nodes (number_nodes.hpp), copies, literals or
// integer updates, so a pass runs no code and makes or drops no binding. An `if` without
// `else` whose condition is a number node may stand among them, whatever its body (a
// guard, such as `if n % d == 0 { return false }`): while its condition is false the pass
// goes on; once it holds, the `if` and all after it run the ordinary way. The loop is laid
// out once as flat code; on each entry the binding of each of its names is found once and
// the code is bound to those bindings, so that a pass reads and writes them in place, with
// no call per operator and no search per name. A store's last operator writes straight into
// the name's binding: every name the loop stores holds a plain value (a number, a boolean)
// when it starts, and the flat code only ever stores plain values.
//
// Whatever the flat code does not decide (a name that is unbound or holds another kind, a
// division by zero, a condition that is not a Boolean, a copy of a string) leaves it at
// that point, with nothing written for that statement: the rest of the pass and the passes
// after it run by the statements' ordinary forms, which give the same values or report the
// same failures. A pass spends its step and checks for Ctrl-C as the ordinary loop does.
#pragma once

#include <cstdint>
#include <new>
#include <vector>

#include "interpreter/number_nodes.hpp"

namespace vormel {

struct NumberLoop final : NodeCache {
  // Bounds on what is laid out, so that a frame fits on the native stack.
  static constexpr size_t kMaxNames = 32;
  static constexpr size_t kMaxRegisters = 64;  // constants and intermediate results
  static constexpr size_t kMaxInstructions = 96;
  static constexpr size_t kMaxStatements = 32;

  // What an instruction does. The operators come first, one code each.
  enum Code : uint8_t {
    kPlus,
    kMinus,
    kStar,
    kSlash,
    kPercent,
    kPower,
    kLess,
    kLessEqual,
    kGreater,
    kGreaterEqual,
    kEqual,
    kNotEqual,
    kAnd,
    kOr,
    kTest,  // the condition's value in `left`: go on, finish, or give up
    kCopy,  // result = left, a plain value (a literal is a copy of a constant)
    kAddInteger,
    kSubtractInteger,
    kMultiplyInteger,  // result op= left, two integers
    kGuard,            // an `if` without `else`: go on while `left` is false
    kEndOfPass,        // after the last statement: the next pass
  };
  // Places are the names' bindings (0 .. kMaxNames - 1), then the registers.
  struct Instruction {
    Code code;
    uint8_t statement;  // the body's statement it belongs to; the condition's is kConditionPart
    uint8_t result, left, right;
  };
  static constexpr uint8_t kConditionPart = 255;

  // The code bound to one entry's bindings: what a pass runs.
  struct BoundInstruction {
    Code code;
    uint8_t statement;
    const Value* left;
    const Value* right;
    Value* result;
  };
  class Frame {
   public:
    Frame() = default;
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
    ~Frame() {
      for (size_t i = 0; i < made_; ++i) registers()[i].~Value();
    }
    Value* registers() { return std::launder(reinterpret_cast<Value*>(register_storage_)); }
    void make_registers(size_t count) {
      for (; made_ < count; ++made_) new (&registers()[made_]) Value();
    }

    Value* places[kMaxNames + kMaxRegisters];
    BoundInstruction code[kMaxInstructions + 1];  // and kEndOfPass

   private:
    alignas(Value) unsigned char register_storage_[kMaxRegisters * sizeof(Value)];
    size_t made_ = 0;
  };

  std::vector<Symbol> names;
  std::vector<bool> stored;  // by name: whether the loop stores it
  size_t registers = 0;
  std::vector<std::pair<uint8_t, Scalar>> constants;  // registers, by number, and their values
  std::vector<Instruction> code;

  // Finds the bindings of the loop's names as both a read and a write would find them, and
  // binds the code to them; false when a name has no such binding (it is unbound, or a store
  // would make a new one) or a stored name holds a value with a payload, and the loop then
  // runs the ordinary way.
  bool bind(Interpreter& in, Frame& frame) const;

  // Runs passes until the condition is false (kFinished) or something gives up: the
  // condition (kConditionGaveUp) or the body's statement of that number.
  static constexpr size_t kFinished = SIZE_MAX;
  static constexpr size_t kConditionGaveUp = SIZE_MAX - 1;
  size_t run(Frame& frame) const;
};

// The prepared loop of `loop`, kept in the node; null when its condition or a statement of
// its body is of another shape.
const NumberLoop* number_loop_of(const WhileStmt& loop);

}  // namespace vormel
