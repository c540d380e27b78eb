#include "interpreter/http/network_switch.hpp"

#include <atomic>

namespace vormel::http {
namespace {

std::atomic<bool> forbidden{false};

}  // namespace

void forbid_network() { forbidden = true; }
bool network_forbidden() { return forbidden; }

}  // namespace vormel::http
