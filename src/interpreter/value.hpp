// The runtime value: a 16-byte tagged union. Scalars live inline; strings, arrays, dicts,
// functions, errors and shapes live in immutable reference-counted payloads, so copying a
// Value is O(1). Scripts see plain deep-copy semantics: every mutation goes through a
// mutable_*() accessor that first un-shares the payload (copy-on-write).
#pragma once

#include <bit>
#include <cassert>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vormel {

enum class ValueKind : uint8_t {
  Number,
  Float,
  String,
  Boolean,
  Array,
  Dict,
  Function,
  BuiltinFunction,
  Rect,
  Color,
  Circle,
  Triangle,
  Null,
  Error,
};

struct RectShape {
  int32_t x, y;
  uint32_t w, h;
};
struct ColorRgb {
  uint8_t r, g, b;
};
struct CircleShape {
  int32_t x, y;
  uint32_t radius;
};
struct TriangleShape {
  int32_t x1, y1, x2, y2, x3, y3;
};

class Dict;
class Value;
struct FunctionDef;  // a function's parameters and body, from the syntax tree
using FunctionDefPtr = std::shared_ptr<const FunctionDef>;
using ValueList = std::vector<Value>;

// Freed payload memory each thread keeps per block size, for the next payloads of that size.
inline constexpr size_t kKeptPayloadBytesPerSize = size_t{4} << 20;

// Payload header. Single-threaded, so the count is a plain integer.
struct HeapObject {
  uint32_t refs = 1;
};

class Value {
 public:
  Value() noexcept : kind_(ValueKind::Null), bits_(0) {}
  ~Value() {
    if (is_heap()) release();
  }
  Value(const Value& other) noexcept : kind_(other.kind_), bits_(other.bits_) {
    if (is_heap()) ++heap_->refs;
  }
  Value(Value&& other) noexcept : kind_(other.kind_), bits_(other.bits_) {
    other.kind_ = ValueKind::Null;
  }
  Value& operator=(const Value& other) noexcept {
    Value copy(other);
    swap(copy);
    return *this;
  }
  Value& operator=(Value&& other) noexcept {
    // Take the other's contents first: it may live inside the payload released below.
    const ValueKind kind = other.kind_;
    const uint64_t bits = other.bits_;
    other.kind_ = ValueKind::Null;
    if (is_heap()) release();
    kind_ = kind;
    bits_ = bits;
    return *this;
  }
  void swap(Value& other) noexcept {
    std::swap(kind_, other.kind_);
    std::swap(bits_, other.bits_);
  }

  static Value number(int64_t v) {
    Value r;
    r.kind_ = ValueKind::Number;
    r.integer_ = v;
    return r;
  }
  static Value floating(double v) {
    Value r;
    r.kind_ = ValueKind::Float;
    r.real_ = v;
    return r;
  }
  static Value boolean(bool v) {
    Value r;
    r.kind_ = ValueKind::Boolean;
    if constexpr (std::endian::native == std::endian::little) {
      // One whole-word store: a byte stored into a word about to be copied whole would make
      // the processor wait for the byte before it can read the word.
      r.bits_ = v ? 1 : 0;
    } else {
      r.bits_ = 0;
      r.boolean_ = v;
    }
    return r;
  }
  static Value null() { return Value(); }
  static Value string(std::string text);
  static Value array(ValueList items);
  static Value dict(Dict&& entries);
  static Value dict(const Dict& entries);
  static Value function(FunctionDefPtr def);
  static Value builtin_function(std::string name);
  static Value error(std::string message);
  static Value rect(RectShape r);
  static Value color(ColorRgb c);
  static Value circle(CircleShape c);
  static Value triangle(TriangleShape t);

  ValueKind kind() const { return kind_; }
  bool is(ValueKind k) const { return kind_ == k; }
  bool is_error() const { return kind_ == ValueKind::Error; }
  bool is_null() const { return kind_ == ValueKind::Null; }

  // Accessors; each requires the matching kind (checked in debug builds).
  int64_t as_number() const {
    assert_kind(ValueKind::Number);
    return integer_;
  }
  double as_float() const {
    assert_kind(ValueKind::Float);
    return real_;
  }
  // Overwrites a Number with another, where it is.
  void replace_number(int64_t v) {
    assert_kind(ValueKind::Number);
    integer_ = v;
  }
  bool as_boolean() const {
    assert_kind(ValueKind::Boolean);
    return boolean_;
  }
  // Whether the value keeps a payload on the heap (a string, an array, an Error, ...).
  bool has_payload() const { return is_heap(); }
  // Overwrites a value that has no payload with another, where it is.
  void replace_plain(const Value& plain) {
    assert(!is_heap() && !plain.is_heap());
    kind_ = plain.kind_;
    bits_ = plain.bits_;
  }
  const std::string& as_string() const;      // String
  const std::string& error_message() const;  // Error
  const std::string& builtin_name() const;   // BuiltinFunction
  const ValueList& as_array() const;
  const Dict& as_dict() const;
  const FunctionDef& as_function() const;
  const FunctionDefPtr& function_def() const;
  const RectShape& as_rect() const;
  ColorRgb as_color() const {
    assert_kind(ValueKind::Color);
    return color_;
  }
  const CircleShape& as_circle() const;
  const TriangleShape& as_triangle() const;

  // Copy-on-write access: un-shares the payload when another Value holds it too.
  std::string& mutable_string();
  ValueList& mutable_array();
  Dict& mutable_dict();

  // True when no other Value shares this payload (always true for inline kinds).
  bool is_unique() const { return !is_heap() || heap_->refs == 1; }
  // True when both hold the very same heap payload.
  bool shares_payload_with(const Value& other) const {
    return is_heap() && kind_ == other.kind_ && heap_ == other.heap_;
  }

 private:
  void assert_kind([[maybe_unused]] ValueKind expected) const { assert(kind_ == expected); }
  // One bit per kind: set for the kinds whose payload lives on the heap.
  static constexpr uint32_t kInlineKinds =
      1u << static_cast<int>(ValueKind::Number) | 1u << static_cast<int>(ValueKind::Float) |
      1u << static_cast<int>(ValueKind::Boolean) | 1u << static_cast<int>(ValueKind::Null) |
      1u << static_cast<int>(ValueKind::Color);
  bool is_heap() const { return ((kInlineKinds >> static_cast<int>(kind_)) & 1u) == 0; }
  void release() noexcept;
  static Value from_heap(ValueKind kind, HeapObject* object) {
    Value r;
    r.kind_ = kind;
    r.heap_ = object;
    return r;
  }

  ValueKind kind_;
  union {
    uint64_t bits_;
    int64_t integer_;
    double real_;
    bool boolean_;
    ColorRgb color_;
    HeapObject* heap_;
  };
};

// Kind name in messages: "number", "builtin function", ...
const char* type_name(ValueKind kind);
inline const char* type_name(const Value& v) { return type_name(v.kind()); }

// Text forms and predicates (value_text.cpp, value_rules.cpp).
std::string display_text(const Value& value);
void append_display_text(std::string& out, const Value& value);
std::string debug_text(const Value& value);
bool is_truthy(const Value& value);
bool pattern_equals(const Value& subject, const Value& pattern);
// Float equality: exactly equal, or closer than 2^-52; NaN equals nothing.
bool floats_equal(double a, double b);
// Number gives itself; Float truncates toward zero, saturates, NaN gives 0. Other kinds: 0.
int64_t to_integer(const Value& value);

}  // namespace vormel

#include "interpreter/dict.hpp"
