// Payload allocation, release and copy-on-write for Value.
#include "interpreter/value.hpp"

#include <cassert>
#include <cstdint>
#include <new>
#include <utility>

#include "parser/ast.hpp"
#include "support/address_sanitizer.hpp"

namespace vormel {
namespace {

// Freed payload blocks of one size, kept for the next payload of that size: scripts build and
// drop small strings, arrays and dicts at a steady rate, and a list pop is far cheaper than a
// trip through the general allocator. The list is bounded, so a burst of frees still gives
// the memory back, and each thread keeps its own (on exit it frees what it kept).
constexpr size_t kKeptBytesPerSize = kAddressSanitizer ? 0 : kKeptPayloadBytesPerSize;

template <size_t Size>
class BlockRecycler {
 public:
  static void* take() {
    if (kept.first == nullptr) return ::operator new(Size);
    Link* block = kept.first;
    kept.first = block->next;
    --kept.count;
    return block;
  }
  static void give(void* block) noexcept {
    if (kept.count >= kLimit) {
      ::operator delete(block);
      return;
    }
    if (!kept.drain_registered) register_drain();
    kept.first = ::new (block) Link{kept.first};
    ++kept.count;
  }

 private:
  static_assert(Size >= sizeof(void*));
  static constexpr size_t kLimit = kKeptBytesPerSize / Size;
  struct Link {
    Link* next;
  };
  // Plain data, so that reaching it costs no initialization check.
  struct Lists {
    Link* first;
    size_t count;
    bool drain_registered;
  };
  static thread_local constinit inline Lists kept{};
  // Frees the kept blocks when the thread ends; a payload freed after that (by another
  // thread-local object) goes straight back to the allocator.
  struct Drain {
    ~Drain() {
      while (kept.first != nullptr) ::operator delete(std::exchange(kept.first, kept.first->next));
      kept.count = SIZE_MAX;
    }
  };
  [[gnu::noinline, gnu::cold]] static void register_drain() noexcept {
    kept.drain_registered = true;
    thread_local Drain drain;
    (void)drain;
  }
};

// Payload types allocate through the recycler of their size.
template <typename T>
struct Recycled {
  static void* operator new(size_t size) {
    assert(size == sizeof(T));
    (void)size;
    return BlockRecycler<sizeof(T)>::take();
  }
  static void operator delete(void* block) noexcept { BlockRecycler<sizeof(T)>::give(block); }
};

struct StringObject : HeapObject, Recycled<StringObject> {
  std::string text;
};
// Arrays and dicts carry a link for the queue of containers waiting to be freed, so that
// freeing never needs to allocate.
struct ContainerObject : HeapObject {
  ValueKind kind = ValueKind::Array;
  ContainerObject* next_to_free = nullptr;
};
struct ArrayObject : ContainerObject, Recycled<ArrayObject> {
  ArrayObject() = default;
  explicit ArrayObject(ValueList&& list) : items(std::move(list)) {}
  explicit ArrayObject(const ValueList& list) : items(list) {}
  ValueList items;
};
struct DictObject : ContainerObject, Recycled<DictObject> {
  explicit DictObject(Dict&& entries) : dict(std::move(entries)) {}
  explicit DictObject(const Dict& entries) : dict(entries) {}
  Dict dict;
};
struct FunctionObject : HeapObject, Recycled<FunctionObject> {
  FunctionDefPtr def;
};
template <typename T>
struct BoxObject : HeapObject {
  T shape;
};

template <typename T>
T* as(HeapObject* object) {
  return static_cast<T*>(object);
}

}  // namespace

Value Value::string(std::string text) {
  auto* object = new StringObject;
  object->text = std::move(text);
  return from_heap(ValueKind::String, object);
}
Value Value::builtin_function(std::string name) {
  Value v = string(std::move(name));
  v.kind_ = ValueKind::BuiltinFunction;
  return v;
}
Value Value::error(std::string message) {
  Value v = string(std::move(message));
  v.kind_ = ValueKind::Error;
  return v;
}
Value Value::array(ValueList items) {
  return from_heap(ValueKind::Array, new ArrayObject(std::move(items)));
}
Value Value::dict(Dict&& entries) {
  return from_heap(ValueKind::Dict, new DictObject(std::move(entries)));
}
Value Value::dict(const Dict& entries) {
  return from_heap(ValueKind::Dict, new DictObject(entries));
}
Value Value::function(FunctionDefPtr def) {
  auto* object = new FunctionObject;
  object->def = std::move(def);
  return from_heap(ValueKind::Function, object);
}
Value Value::rect(RectShape r) {
  return from_heap(ValueKind::Rect, new BoxObject<RectShape>{{}, r});
}
Value Value::circle(CircleShape c) {
  return from_heap(ValueKind::Circle, new BoxObject<CircleShape>{{}, c});
}
Value Value::triangle(TriangleShape t) {
  return from_heap(ValueKind::Triangle, new BoxObject<TriangleShape>{{}, t});
}
Value Value::color(ColorRgb c) {
  Value r;
  r.kind_ = ValueKind::Color;
  r.bits_ = 0;
  r.color_ = c;
  return r;
}

const std::string& Value::as_string() const {
  assert_kind(ValueKind::String);
  return as<StringObject>(heap_)->text;
}
const std::string& Value::error_message() const {
  assert_kind(ValueKind::Error);
  return as<StringObject>(heap_)->text;
}
const std::string& Value::builtin_name() const {
  assert_kind(ValueKind::BuiltinFunction);
  return as<StringObject>(heap_)->text;
}
const ValueList& Value::as_array() const {
  assert_kind(ValueKind::Array);
  return as<ArrayObject>(heap_)->items;
}
const Dict& Value::as_dict() const {
  assert_kind(ValueKind::Dict);
  return as<DictObject>(heap_)->dict;
}
const FunctionDef& Value::as_function() const { return *function_def(); }
const FunctionDefPtr& Value::function_def() const {
  assert_kind(ValueKind::Function);
  return as<FunctionObject>(heap_)->def;
}
const RectShape& Value::as_rect() const {
  assert_kind(ValueKind::Rect);
  return as<BoxObject<RectShape>>(heap_)->shape;
}
const CircleShape& Value::as_circle() const {
  assert_kind(ValueKind::Circle);
  return as<BoxObject<CircleShape>>(heap_)->shape;
}
const TriangleShape& Value::as_triangle() const {
  assert_kind(ValueKind::Triangle);
  return as<BoxObject<TriangleShape>>(heap_)->shape;
}

std::string& Value::mutable_string() {
  assert_kind(ValueKind::String);
  if (heap_->refs > 1) *this = string(as_string());
  return as<StringObject>(heap_)->text;
}
ValueList& Value::mutable_array() {
  assert_kind(ValueKind::Array);
  if (heap_->refs > 1) *this = from_heap(ValueKind::Array, new ArrayObject(as_array()));
  return as<ArrayObject>(heap_)->items;
}
Dict& Value::mutable_dict() {
  assert_kind(ValueKind::Dict);
  if (heap_->refs > 1) *this = from_heap(ValueKind::Dict, new DictObject(as_dict()));
  return as<DictObject>(heap_)->dict;
}

namespace {

void delete_container(ContainerObject* object) {
  if (object->kind == ValueKind::Array)
    delete static_cast<ArrayObject*>(object);
  else
    delete static_cast<DictObject*>(object);
}

// Arrays and dicts are freed one level at a time: a container whose last reference goes
// while another is being freed is queued (through its own link), so releasing a value
// nested millions deep needs no deep native recursion and no memory.
void release_container(ValueKind kind, HeapObject* object) {
  thread_local bool freeing = false;
  thread_local ContainerObject* queue = nullptr;
  auto* container = static_cast<ContainerObject*>(object);
  container->kind = kind;
  if (freeing) {
    container->next_to_free = queue;
    queue = container;
    return;
  }
  freeing = true;
  delete_container(container);
  while (queue != nullptr) {
    ContainerObject* next = queue;
    queue = next->next_to_free;
    delete_container(next);
  }
  freeing = false;
}

}  // namespace

void Value::release() noexcept {
  if (--heap_->refs != 0) return;
  switch (kind_) {
    case ValueKind::String:
    case ValueKind::BuiltinFunction:
    case ValueKind::Error: delete as<StringObject>(heap_); break;
    case ValueKind::Array:
    case ValueKind::Dict: release_container(kind_, heap_); break;
    case ValueKind::Function: delete as<FunctionObject>(heap_); break;
    case ValueKind::Rect: delete as<BoxObject<RectShape>>(heap_); break;
    case ValueKind::Circle: delete as<BoxObject<CircleShape>>(heap_); break;
    case ValueKind::Triangle: delete as<BoxObject<TriangleShape>>(heap_); break;
    default: break;
  }
}

const char* type_name(ValueKind kind) {
  switch (kind) {
    case ValueKind::Number: return "number";
    case ValueKind::Float: return "float";
    case ValueKind::String: return "string";
    case ValueKind::Boolean: return "boolean";
    case ValueKind::Array: return "array";
    case ValueKind::Dict: return "dict";
    case ValueKind::Function: return "function";
    case ValueKind::BuiltinFunction: return "builtin function";
    case ValueKind::Rect: return "rect";
    case ValueKind::Color: return "color";
    case ValueKind::Circle: return "circle";
    case ValueKind::Triangle: return "triangle";
    case ValueKind::Null: return "null";
    case ValueKind::Error: return "error";
  }
  return "unknown";
}

}  // namespace vormel
