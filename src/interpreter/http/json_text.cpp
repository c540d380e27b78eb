#include "interpreter/http/json_text.hpp"

#include <cmath>
#include <vector>

#include "support/text_format.hpp"

namespace vormel::http {
namespace {

// A container being written: which one, and the index of its next element.
struct OpenContainer {
  const Value* container;
  size_t next;
};

void append_float(std::string& out, double value, const JsonLayout& layout) {
  if (!std::isfinite(value)) {
    out += "null";  // JSON has no NaN or infinity
    return;
  }
  out += layout.floats_keep_point ? debug_float_text(value) : display_float_text(value);
}

// A line break and the indent of `depth` levels, in the indented layout.
void break_line(std::string& out, size_t depth, const JsonLayout& layout) {
  if (layout.indent < 0) return;
  out += '\n';
  out.append(depth * static_cast<size_t>(layout.indent), ' ');
}

bool is_empty_container(const Value& value) {
  return (value.is(ValueKind::Array) && value.as_array().empty()) ||
         (value.is(ValueKind::Dict) && value.as_dict().empty());
}

// Writes a scalar, or the opening bracket of a container and remembers it as open.
void open_value(std::string& out, const Value& value, std::vector<OpenContainer>& open,
                const JsonLayout& layout) {
  switch (value.kind()) {
    case ValueKind::Number: out += std::to_string(value.as_number()); return;
    case ValueKind::Float: append_float(out, value.as_float(), layout); return;
    case ValueKind::String: append_json_string(out, value.as_string()); return;
    case ValueKind::Boolean: out += value.as_boolean() ? "true" : "false"; return;
    case ValueKind::Array:
      out += '[';
      open.push_back({&value, 0});
      return;
    case ValueKind::Dict:
      out += '{';
      open.push_back({&value, 0});
      return;
    default: out += "null"; return;
  }
}

}  // namespace

void append_json_string(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  size_t pos = 0;
  while (pos < text.size()) {
    size_t start = pos;
    char32_t cp = decode_utf8(text, pos);
    switch (cp) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (cp < 0x20) {
          out += "\\u00";
          out += kHex[cp >> 4];
          out += kHex[cp & 0xF];
        } else if (cp == 0xFFFD && !text.substr(start, pos - start).starts_with("\xEF\xBF\xBD")) {
          out += "\\ufffd";  // a byte that is not UTF-8 cannot stand in JSON text
        } else {
          out.append(text.substr(start, pos - start));
        }
    }
  }
  out += '"';
}

std::string to_json(const Value& value, const JsonLayout& layout) {
  std::string out;
  std::vector<OpenContainer> open;
  open_value(out, value, open, layout);
  while (!open.empty()) {
    const Value& container = *open.back().container;
    size_t index = open.back().next++;
    size_t depth = open.size();
    // An empty container stays "[]" or "{}" on one line in every layout.
    bool broken = !is_empty_container(container);
    if (container.is(ValueKind::Array)) {
      const ValueList& items = container.as_array();
      if (index == items.size()) {
        if (broken) break_line(out, depth - 1, layout);
        out += ']';
        open.pop_back();
        continue;
      }
      if (index > 0) out += ',';
      break_line(out, depth, layout);
      open_value(out, items[index], open, layout);
    } else {
      const auto& entries = container.as_dict().entries();
      if (index == entries.size()) {
        if (broken) break_line(out, depth - 1, layout);
        out += '}';
        open.pop_back();
        continue;
      }
      if (index > 0) out += ',';
      break_line(out, depth, layout);
      append_json_string(out, entries[index].key());
      out += layout.indent < 0 ? ":" : ": ";
      open_value(out, entries[index].value(), open, layout);
    }
  }
  return out;
}

}  // namespace vormel::http
