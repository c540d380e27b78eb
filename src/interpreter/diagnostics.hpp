// Tagged diagnostic lines on standard error and the process-wide debug switch.
#pragma once

#include <string_view>

namespace vormel {

// The debug switch; read inline because every call checks it.
extern bool g_debug_enabled;
inline void set_debug_enabled(bool on) { g_debug_enabled = on; }
inline bool debug_enabled() { return g_debug_enabled; }

void log_error(std::string_view message);       // always written
void log_debug(std::string_view message);       // only under the debug switch
void log_debug_call(std::string_view message);  // only under the debug switch

}  // namespace vormel
