// Tagged lines on standard error. Each line is written with one fwrite so that it stays
// whole even when standard error is shared.
#include "interpreter/diagnostics.hpp"

#include <cstdio>
#include <string>

#include "interpreter/error_trace.hpp"

namespace vormel {
namespace {

void write_line(std::string_view tag, std::string_view message) {
  std::string line;
  line.reserve(tag.size() + message.size() + 1);
  line.append(tag).append(message).push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
}

constexpr std::string_view kErrorTag = "\x1b[31m[\x1b[91mERROR\x1b[31m]\x1b[0m ";
constexpr std::string_view kDebugTag = "\x1b[33m[\x1b[93mDEBUG\x1b[33m]\x1b[0m ";
constexpr std::string_view kDebugCallTag = "\x1b[33m[\x1b[93mDEBUG CALL\x1b[33m]\x1b[0m ";

}  // namespace

bool g_debug_enabled = false;

void log_error(std::string_view message) {
  write_line(kErrorTag, message);
  write_error_trace();
}
void log_debug(std::string_view message) {
  if (g_debug_enabled) write_line(kDebugTag, message);
}
void log_debug_call(std::string_view message) {
  if (g_debug_enabled) write_line(kDebugCallTag, message);
}

}  // namespace vormel
