// The two text forms of values: display text (print, concatenation) and debug text (traces).
#include <string>

#include "interpreter/value.hpp"
#include "support/stack_guard.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

void append_int(std::string& out, int64_t v) { out += std::to_string(v); }

// Nesting so deep that the native stack runs short is shown elided rather than crashing.
constexpr std::string_view kElided = "...";

void append_debug_text(std::string& out, const Value& value);

void append_quoted(std::string& out, std::string_view text) { out += quoted_debug_string(text); }

void append_debug_text(std::string& out, const Value& value) {
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
    case ValueKind::Array: {
      if (stack_nearly_exhausted()) {
        out += kElided;
        return;
      }
      out += "Array([";
      bool first = true;
      for (const Value& item : value.as_array()) {
        if (!first) out += ", ";
        first = false;
        append_debug_text(out, item);
      }
      out += "])";
      return;
    }
    case ValueKind::Dict: {
      if (stack_nearly_exhausted()) {
        out += kElided;
        return;
      }
      out += "Dict({";
      bool first = true;
      for (const auto& [key, item] : value.as_dict()) {
        if (!first) out += ", ";
        first = false;
        append_quoted(out, key);
        out += ": ";
        append_debug_text(out, item);
      }
      out += "})";
      return;
    }
    case ValueKind::Function: {
      const FunctionDef& def = value.as_function();
      out += "Function { params: [";
      for (size_t i = 0; i < def.params.size(); ++i) {
        if (i) out += ", ";
        append_quoted(out, def.params[i]);
      }
      out += "], body: ";
      out += debug_text(def.body);
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
  }
}

}  // namespace

void append_display_text(std::string& out, const Value& value) {
  switch (value.kind()) {
    case ValueKind::Number: append_int(out, value.as_number()); return;
    case ValueKind::Float: out += display_float_text(value.as_float()); return;
    case ValueKind::String: out += value.as_string(); return;
    case ValueKind::Boolean: out += value.as_boolean() ? "true" : "false"; return;
    case ValueKind::Array: {
      if (stack_nearly_exhausted()) {
        out += kElided;
        return;
      }
      out += '[';
      bool first = true;
      for (const Value& item : value.as_array()) {
        if (!first) out += ", ";
        first = false;
        append_display_text(out, item);
      }
      out += ']';
      return;
    }
    case ValueKind::Dict: {
      if (stack_nearly_exhausted()) {
        out += kElided;
        return;
      }
      out += '{';
      bool first = true;
      for (const auto& [key, item] : value.as_dict()) {
        if (!first) out += ", ";
        first = false;
        out += key;
        out += ": ";
        append_display_text(out, item);
      }
      out += '}';
      return;
    }
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
  }
}

std::string display_text(const Value& value) {
  if (value.is(ValueKind::String)) return value.as_string();
  std::string out;
  append_display_text(out, value);
  return out;
}

std::string debug_text(const Value& value) {
  std::string out;
  append_debug_text(out, value);
  return out;
}

}  // namespace vormel
