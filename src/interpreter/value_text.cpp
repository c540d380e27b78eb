// The two text forms of values: display text (print, concatenation) and debug text (traces).
// Both walk nested arrays and dicts with a stack of their own rather than the native one,
// so any nesting that fits in memory gives its whole text, in time linear in its length.
#include <string>
#include <vector>

#include "interpreter/value.hpp"
#include "parser/ast.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

void append_int(std::string& out, int64_t v) { out += std::to_string(v); }

void append_quoted(std::string& out, std::string_view text) { out += quoted_debug_string(text); }

// The text of a value that holds no other values.
void append_scalar_display_text(std::string& out, const Value& value) {
  switch (value.kind()) {
    case ValueKind::Number: append_int(out, value.as_number()); return;
    case ValueKind::Float: out += display_float_text(value.as_float()); return;
    case ValueKind::String: out += value.as_string(); return;
    case ValueKind::Boolean: out += value.as_boolean() ? "true" : "false"; return;
    case ValueKind::Function: out += "<function>"; return;
    case ValueKind::BuiltinFunction:
      out += "<builtin: ";
      out += value.builtin_name();
      out += '>';
      return;
    case ValueKind::Rect: {
      const RectShape& r = value.as_rect();
      out += "Rect(" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " +
             std::to_string(r.w) + ", " + std::to_string(r.h) + ")";
      return;
    }
    case ValueKind::Color: {
      ColorRgb c = value.as_color();
      out += "Color(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " +
             std::to_string(c.b) + ")";
      return;
    }
    case ValueKind::Circle: {
      const CircleShape& c = value.as_circle();
      out += "Circle(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
             std::to_string(c.radius) + ")";
      return;
    }
    case ValueKind::Triangle: {
      const TriangleShape& t = value.as_triangle();
      out += "Triangle(" + std::to_string(t.x1) + ", " + std::to_string(t.y1) + ", " +
             std::to_string(t.x2) + ", " + std::to_string(t.y2) + ", " + std::to_string(t.x3) +
             ", " + std::to_string(t.y3) + ")";
      return;
    }
    case ValueKind::Null: out += "null"; return;
    case ValueKind::Error:
      out += "Error: ";
      out += value.error_message();
      return;
    case ValueKind::Array:
    case ValueKind::Dict: return;  // written by the walk
  }
}

void append_scalar_debug_text(std::string& out, const Value& value) {
  switch (value.kind()) {
    case ValueKind::Number:
      out += "Number(";
      append_int(out, value.as_number());
      out += ')';
      return;
    case ValueKind::Float:
      out += "Float(";
      out += debug_float_text(value.as_float());
      out += ')';
      return;
    case ValueKind::Boolean: out += value.as_boolean() ? "Boolean(true)" : "Boolean(false)"; return;
    case ValueKind::String:
      out += "String(";
      append_quoted(out, value.as_string());
      out += ')';
      return;
    case ValueKind::Error:
      out += "Error(";
      append_quoted(out, value.error_message());
      out += ')';
      return;
    case ValueKind::Function: {
      const FunctionDef& def = value.as_function();
      out += "Function { params: [";
      for (size_t i = 0; i < def.params.size(); ++i) {
        if (i) out += ", ";
        append_quoted(out, def.params[i]);
      }
      out += "], body: ";
      append_debug_text(out, def.body);
      out += " }";
      return;
    }
    case ValueKind::BuiltinFunction:
      out += "BuiltinFunction { name: ";
      append_quoted(out, value.builtin_name());
      out += " }";
      return;
    case ValueKind::Rect: {
      const RectShape& r = value.as_rect();
      out += "Rect { x: " + std::to_string(r.x) + ", y: " + std::to_string(r.y) +
             ", w: " + std::to_string(r.w) + ", h: " + std::to_string(r.h) + " }";
      return;
    }
    case ValueKind::Color: {
      ColorRgb c = value.as_color();
      out += "Color { r: " + std::to_string(c.r) + ", g: " + std::to_string(c.g) +
             ", b: " + std::to_string(c.b) + " }";
      return;
    }
    case ValueKind::Circle: {
      const CircleShape& c = value.as_circle();
      out += "Circle { x: " + std::to_string(c.x) + ", y: " + std::to_string(c.y) +
             ", radius: " + std::to_string(c.radius) + " }";
      return;
    }
    case ValueKind::Triangle: {
      const TriangleShape& t = value.as_triangle();
      out += "Triangle { x1: " + std::to_string(t.x1) + ", y1: " + std::to_string(t.y1) +
             ", x2: " + std::to_string(t.x2) + ", y2: " + std::to_string(t.y2) +
             ", x3: " + std::to_string(t.x3) + ", y3: " + std::to_string(t.y3) + " }";
      return;
    }
    case ValueKind::Null: out += "Null"; return;
    case ValueKind::Array:
    case ValueKind::Dict: return;  // written by the walk
  }
}

// How one of the two text forms writes containers.
struct ContainerForm {
  std::string_view array_open, array_close, dict_open, dict_close;
  bool quote_keys;
  void (*scalar)(std::string& out, const Value& value);
};
constexpr ContainerForm kDisplayForm = {"[", "]", "{", "}", false, append_scalar_display_text};
constexpr ContainerForm kDebugForm = {"Array([", "])", "Dict({",
                                      "})",      true, append_scalar_debug_text};

// Writes `root` depth first. Each open container keeps its place on `open`; nothing runs
// while the text is made, so the values stay put.
void append_text(std::string& out, const Value& root, const ContainerForm& form) {
  struct OpenContainer {
    const Value* value;
    size_t next;  // the next element or entry to write
  };
  std::vector<OpenContainer> open;
  auto start = [&](const Value& value) {
    if (value.is(ValueKind::Array)) {
      out += form.array_open;
      open.push_back({&value, 0});
    } else if (value.is(ValueKind::Dict)) {
      out += form.dict_open;
      open.push_back({&value, 0});
    } else {
      form.scalar(out, value);
    }
  };
  start(root);
  while (!open.empty()) {
    OpenContainer& top = open.back();
    const Value& container = *top.value;
    const size_t index = top.next++;
    if (container.is(ValueKind::Array)) {
      const ValueList& items = container.as_array();
      if (index == items.size()) {
        out += form.array_close;
        open.pop_back();
        continue;
      }
      if (index != 0) out += ", ";
      start(items[index]);
    } else {
      const auto& entries = container.as_dict().entries();
      if (index == entries.size()) {
        out += form.dict_close;
        open.pop_back();
        continue;
      }
      if (index != 0) out += ", ";
      const Dict::Entry& entry = entries[index];
      if (form.quote_keys)
        append_quoted(out, entry.key());
      else
        out += entry.key();
      out += ": ";
      start(entry.value());
    }
  }
}

}  // namespace

void append_display_text(std::string& out, const Value& value) {
  append_text(out, value, kDisplayForm);
}

std::string display_text(const Value& value) {
  if (value.is(ValueKind::String)) return value.as_string();
  std::string out;
  append_display_text(out, value);
  return out;
}

std::string debug_text(const Value& value) {
  std::string out;
  append_text(out, value, kDebugForm);
  return out;
}

}  // namespace vormel
