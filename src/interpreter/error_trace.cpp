#include "interpreter/error_trace.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "interpreter/interpreter.hpp"
#include "parser/source_names.hpp"

namespace vormel {
namespace {

bool g_where_enabled = false;
thread_local const NodePlace* g_error_place = nullptr;

// At most this many lines follow an ERROR line.
constexpr size_t kMaxTraceLines = 20;

std::string with_thousands(size_t n) {
  std::string digits = std::to_string(n);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return digits;
}

std::string place_text(const NodePlace& place) {
  return source_name(place.source) + ":" + std::to_string(place.line) + ":" +
         std::to_string(place.column);
}

// The name a frame's function was called by; the runtime calls `main` without a call site.
std::string_view frame_name(const CallExpr* site) {
  return site != nullptr ? std::string_view(site->name) : std::string_view("main");
}

}  // namespace

void set_where_enabled(bool on) { g_where_enabled = on; }
bool where_enabled() { return g_where_enabled; }

bool where_wanted() {
  const char* asked = std::getenv("VORMEL_WHERE");
  if (asked != nullptr && std::strcmp(asked, "1") == 0) return true;
  if (asked != nullptr && std::strcmp(asked, "0") == 0) return false;
  return isatty(STDERR_FILENO) == 1;
}

ErrorPlace::ErrorPlace(const NodePlace* place) : previous_(g_error_place) {
  if (place != nullptr) g_error_place = place;
}
ErrorPlace::~ErrorPlace() { g_error_place = previous_; }

void write_error_trace() {
  if (!g_where_enabled) return;
  const Interpreter* interpreter = Interpreter::running();
  std::span<const CallExpr* const> sites;
  if (interpreter != nullptr) sites = interpreter->call_sites();
  std::string text;
  size_t lines = 0;
  const auto add = [&](std::string line) {
    text.append(line).push_back('\n');
    ++lines;
  };
  // Where the error arose, in the innermost call's function.
  {
    std::string line = "  at";
    if (g_error_place != nullptr && g_error_place->line != 0)
      line.append(" ").append(place_text(*g_error_place));
    if (!sites.empty()) line.append(" in ").append(frame_name(sites.back()));
    if (line != "  at") add(std::move(line));
  }
  // Each call, innermost first: where it was made, and in which function. A run of the same
  // call (recursion) shows once, with its count.
  for (size_t k = sites.size(); k-- > 0;) {
    const CallExpr* site = sites[k];
    if (site == nullptr) continue;  // the runtime's call of main
    size_t same = 0;
    while (k > 0 && sites[k - 1] == site) {
      --k;
      ++same;
    }
    if (lines + 2 >= kMaxTraceLines && k > 0) {
      add("  ... " + with_thousands(k + 1 + same) + " more calls");
      break;
    }
    std::string line = "  called from";
    if (site->place.line != 0) line.append(" ").append(place_text(site->place));
    if (k > 0) line.append(" in ").append(frame_name(sites[k - 1]));
    add(std::move(line));
    if (same > 0) add("  ... the same call " + with_thousands(same) + " more times");
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace vormel
