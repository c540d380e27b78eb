// Tagged diagnostic lines on standard error and the process-wide debug switch.
#pragma once

#include <string_view>

namespace vormel {

void set_debug_enabled(bool on);
bool debug_enabled();

void log_error(std::string_view message);       // always written
void log_debug(std::string_view message);       // only under the debug switch
void log_debug_call(std::string_view message);  // only under the debug switch

}  // namespace vormel
