// Laying out and running number loops (number_loop.hpp).
#include "interpreter/number_loop.hpp"

#include <algorithm>

#include "interpreter/interrupt.hpp"
#include "interpreter/step_budget.hpp"
#include "interpreter/symbol_cache.hpp"

namespace vormel {
namespace {

using Code = NumberLoop::Code;

// The code of an operator of number nodes; false for any other.
bool operator_code(TokenKind op, Code& code) {
  switch (op) {
    case TokenKind::Plus: code = NumberLoop::kPlus; return true;
    case TokenKind::Minus: code = NumberLoop::kMinus; return true;
    case TokenKind::Star: code = NumberLoop::kStar; return true;
    case TokenKind::Slash: code = NumberLoop::kSlash; return true;
    case TokenKind::Percent: code = NumberLoop::kPercent; return true;
    case TokenKind::Power: code = NumberLoop::kPower; return true;
    case TokenKind::Less: code = NumberLoop::kLess; return true;
    case TokenKind::LessEqual: code = NumberLoop::kLessEqual; return true;
    case TokenKind::Greater: code = NumberLoop::kGreater; return true;
    case TokenKind::GreaterEqual: code = NumberLoop::kGreaterEqual; return true;
    case TokenKind::Equal: code = NumberLoop::kEqual; return true;
    case TokenKind::NotEqual: code = NumberLoop::kNotEqual; return true;
    case TokenKind::And: code = NumberLoop::kAnd; return true;
    case TokenKind::Or: code = NumberLoop::kOr; return true;
    default: return false;
  }
}

// Lays a loop's condition and statements out as flat code; false for any other shape, or
// when the loop needs more names, registers or instructions than a frame holds.
class LoopBuilder {
 public:
  explicit LoopBuilder(NumberLoop& loop) : loop_(loop) {}

  bool condition(const Expr& e) {
    statement_ = NumberLoop::kConditionPart;
    uint8_t value;
    return number_node_of(e) != nullptr && operand(e, value) &&
           emit(NumberLoop::kTest, value, value, value);
  }

  bool statement(const Stmt& s, size_t number) {
    if (number >= NumberLoop::kMaxStatements) return false;
    statement_ = static_cast<uint8_t>(number);
    switch (s.kind) {
      case StmtKind::Let: return store(static_cast<const LetStmt&>(s));
      case StmtKind::Assign: return store(static_cast<const AssignStmt&>(s));
      case StmtKind::CompoundAssign: return compound(static_cast<const CompoundAssignStmt&>(s));
      case StmtKind::If: return guard(static_cast<const IfStmt&>(s));
      default: return false;
    }
  }

 private:
  // `x = a * b + c` (its last operator writes into x), `x = y`, `x = 1.5`
  template <typename Node>
  bool store(const Node& s) {
    uint8_t target;
    if (!stored_name(cached_symbol(s.symbol, s.name), target)) return false;
    const Expr& value = *s.value;
    uint8_t source;
    switch (value.kind) {
      case ExprKind::Identifier:
      case ExprKind::Number:
      case ExprKind::Float:
        return operand(value, source) && emit(NumberLoop::kCopy, target, source, source);
      case ExprKind::Boolean:
        return constant(Scalar::truth(static_cast<const BooleanExpr&>(value).value), source) &&
               emit(NumberLoop::kCopy, target, source, source);
      default:
        if (number_node_of(value) == nullptr || !operand(value, source)) return false;
        loop_.code.back().result = target;
        return true;
    }
  }

  // `if n % d == 0 { return false }`: its condition alone.
  bool guard(const IfStmt& s) {
    uint8_t value;
    return !s.else_body && number_node_of(*s.condition) != nullptr &&
           operand(*s.condition, value) && emit(NumberLoop::kGuard, value, value, value);
  }

  // `n += 1`, `total -= x`, `k *= 2`
  bool compound(const CompoundAssignStmt& s) {
    Code code;
    switch (s.op.kind) {
      case TokenKind::PlusAssign: code = NumberLoop::kAddInteger; break;
      case TokenKind::MinusAssign: code = NumberLoop::kSubtractInteger; break;
      case TokenKind::StarAssign: code = NumberLoop::kMultiplyInteger; break;
      default: return false;
    }
    const ExprKind operand_kind = s.value->kind;
    uint8_t target, source;
    return (operand_kind == ExprKind::Number || operand_kind == ExprKind::Identifier) &&
           stored_name(cached_symbol(s.symbol, s.name), target) && operand(*s.value, source) &&
           emit(code, target, source, source);
  }

  // The place that holds `e`'s value once its instructions have run.
  bool operand(const Expr& e, uint8_t& place) {
    switch (e.kind) {
      case ExprKind::Identifier: {
        const auto& id = static_cast<const IdentifierExpr&>(e);
        return name(cached_symbol(id.symbol, id.name), place);
      }
      case ExprKind::Number:
        return constant(Scalar::integer(static_cast<const NumberExpr&>(e).value), place);
      case ExprKind::Float:
        return constant(Scalar::real(static_cast<const FloatExpr&>(e).value), place);
      case ExprKind::BinaryOp: {
        const auto& binary = static_cast<const BinaryOpExpr&>(e);
        Code code;
        uint8_t left, right;
        return operator_code(binary.op.kind, code) && operand(*binary.left, left) &&
               operand(*binary.right, right) && new_register(place) &&
               emit(code, place, left, right);
      }
      default: return false;
    }
  }

  bool emit(Code code, uint8_t result, uint8_t left, uint8_t right) {
    if (loop_.code.size() == NumberLoop::kMaxInstructions) return false;
    loop_.code.push_back({code, statement_, result, left, right});
    return true;
  }

  // The number of a name the loop reads or writes, which is also its place.
  bool name(Symbol symbol, uint8_t& number) {
    const size_t index = static_cast<size_t>(
        std::find(loop_.names.begin(), loop_.names.end(), symbol) - loop_.names.begin());
    if (index == loop_.names.size()) {
      if (index == NumberLoop::kMaxNames) return false;
      loop_.names.push_back(symbol);
      loop_.stored.push_back(false);
    }
    number = static_cast<uint8_t>(index);
    return true;
  }

  bool stored_name(Symbol symbol, uint8_t& number) {
    if (!name(symbol, number)) return false;
    loop_.stored[number] = true;
    return true;
  }

  bool constant(Scalar value, uint8_t& place) {
    if (!new_register(place)) return false;
    loop_.constants.emplace_back(place - NumberLoop::kMaxNames, value);
    return true;
  }

  // A new register's place.
  bool new_register(uint8_t& place) {
    if (loop_.registers == NumberLoop::kMaxRegisters) return false;
    place = static_cast<uint8_t>(NumberLoop::kMaxNames + loop_.registers++);
    return true;
  }

  NumberLoop& loop_;
  uint8_t statement_ = NumberLoop::kConditionPart;
};

// result = left op right by the operator's number-node rule (two floats first, as the most
// common); false when it gives up, having written nothing.
template <TokenKind Op>
[[gnu::always_inline]] inline bool operate(const NumberLoop::BoundInstruction& i) {
  const Value& left = *i.left;
  const Value& right = *i.right;
  Scalar result;
  if constexpr (Op != TokenKind::And && Op != TokenKind::Or) {
    if (left.is(ValueKind::Float) && right.is(ValueKind::Float)) [[likely]]
      result = number_nodes::on_floats<Op>(left.as_float(), right.as_float());
    else
      result =
          number_nodes::combine<Op>(number_nodes::scalar_of(left), number_nodes::scalar_of(right));
  } else {
    result =
        number_nodes::combine<Op>(number_nodes::scalar_of(left), number_nodes::scalar_of(right));
  }
  if (result.kind == Scalar::kGaveUp) [[unlikely]]
    return false;
  i.result->replace_plain(result.value());
  return true;
}

// result op= left on two integers (wrapping, as `x += 1` does); false for any other kinds.
template <TokenKind Op>
[[gnu::always_inline]] inline bool update(const NumberLoop::BoundInstruction& i) {
  const Value& operand = *i.left;
  Value& target = *i.result;
  if (!operand.is(ValueKind::Number) || !target.is(ValueKind::Number)) [[unlikely]]
    return false;
  target.replace_number(integer_sum_or_product(Op, target.as_number(), operand.as_number()));
  return true;
}

// What the loop keeps in its node when it is not a number loop: nothing, found once.
struct NoNumberLoop final : NodeCache {};

}  // namespace

bool NumberLoop::bind(Interpreter& in, Frame& frame) const {
  for (size_t i = 0; i < names.size(); ++i) {
    Value* binding = in.binding_read_and_written(names[i]);
    if (binding == nullptr || (stored[i] && binding->has_payload())) return false;
    frame.places[i] = binding;
  }
  frame.make_registers(registers);
  for (size_t i = 0; i < registers; ++i) frame.places[kMaxNames + i] = &frame.registers()[i];
  for (const auto& [reg, value] : constants) frame.registers()[reg] = value.value();
  for (size_t k = 0; k < code.size(); ++k) {
    const Instruction& c = code[k];
    frame.code[k] = {c.code, c.statement, frame.places[c.left], frame.places[c.right],
                     frame.places[c.result]};
  }
  frame.code[code.size()] = {kEndOfPass, kConditionPart, nullptr, nullptr, nullptr};
  return true;
}

// Each instruction jumps to the next one's code by a jump of its own (GCC's and Clang's
// labels as values), which the processor predicts far better than one shared jump.
size_t NumberLoop::run(Frame& frame) const {
  // clang-format off
  static const void* const kCodes[] = {
      &&plus, &&minus, &&star, &&slash, &&percent, &&power, &&less, &&less_equal, &&greater,
      &&greater_equal, &&equal, &&not_equal, &&logical_and, &&logical_or, &&test, &&copy,
      &&add_integer, &&subtract_integer, &&multiply_integer, &&guard, &&end_of_pass};
  // clang-format on
  static_assert(sizeof(kCodes) / sizeof(kCodes[0]) == kEndOfPass + 1);
  const auto gave_up = [](const BoundInstruction& i) {
    return i.statement == kConditionPart ? kConditionGaveUp : size_t{i.statement};
  };
  const BoundInstruction* i;
#define VORMEL_NEXT() goto* kCodes[(++i)->code]
#define VORMEL_OPERATOR(label, op)          \
  label:                                    \
  if (!operate<op>(*i)) return gave_up(*i); \
  VORMEL_NEXT();
#define VORMEL_UPDATE(label, op)           \
  label:                                   \
  if (!update<op>(*i)) return gave_up(*i); \
  VORMEL_NEXT();
end_of_pass:
  spend_steps(1);
  check_interrupt();
  i = frame.code;
  goto* kCodes[i->code];
  VORMEL_OPERATOR(plus, TokenKind::Plus)
  VORMEL_OPERATOR(minus, TokenKind::Minus)
  VORMEL_OPERATOR(star, TokenKind::Star)
  VORMEL_OPERATOR(slash, TokenKind::Slash)
  VORMEL_OPERATOR(percent, TokenKind::Percent)
  VORMEL_OPERATOR(power, TokenKind::Power)
  VORMEL_OPERATOR(less, TokenKind::Less)
  VORMEL_OPERATOR(less_equal, TokenKind::LessEqual)
  VORMEL_OPERATOR(greater, TokenKind::Greater)
  VORMEL_OPERATOR(greater_equal, TokenKind::GreaterEqual)
  VORMEL_OPERATOR(equal, TokenKind::Equal)
  VORMEL_OPERATOR(not_equal, TokenKind::NotEqual)
  VORMEL_OPERATOR(logical_and, TokenKind::And)
  VORMEL_OPERATOR(logical_or, TokenKind::Or)
  VORMEL_UPDATE(add_integer, TokenKind::Plus)
  VORMEL_UPDATE(subtract_integer, TokenKind::Minus)
  VORMEL_UPDATE(multiply_integer, TokenKind::Star)
#undef VORMEL_OPERATOR
#undef VORMEL_UPDATE
test:
  if (!i->left->is(ValueKind::Boolean)) [[unlikely]]
    return kConditionGaveUp;
  if (!i->left->as_boolean()) return kFinished;
  VORMEL_NEXT();
guard:
  if (!i->left->is(ValueKind::Boolean) || i->left->as_boolean()) [[unlikely]]
    return gave_up(*i);  // the ordinary `if` tests it again and runs its body
  VORMEL_NEXT();
copy:
  if (i->left->has_payload()) [[unlikely]]
    return gave_up(*i);  // the ordinary store copies it, or reports an Error
  i->result->replace_plain(*i->left);
  VORMEL_NEXT();
#undef VORMEL_NEXT
}

const NumberLoop* number_loop_of(const WhileStmt& loop) {
  if (!loop.cache) {
    auto prepared = std::make_unique<NumberLoop>();
    LoopBuilder builder(*prepared);
    bool fits = !loop.body.empty() && builder.condition(*loop.condition);
    for (size_t k = 0; fits && k < loop.body.size(); ++k)
      fits = builder.statement(*loop.body[k], k);
    if (fits)
      loop.cache.reset(prepared.release());
    else
      loop.cache.reset(new NoNumberLoop());
  }
  return dynamic_cast<const NumberLoop*>(loop.cache.get());
}

}  // namespace vormel
