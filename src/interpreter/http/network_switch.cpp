#include "interpreter/http/network_switch.hpp"

#include <atomic>

namespace vormel::http {
namespace {

#ifdef VORMEL_STEP_BUDGET
constexpr bool kForbiddenAtStart = true;
#else
constexpr bool kForbiddenAtStart = false;
#endif

std::atomic<bool> forbidden{kForbiddenAtStart};

}  // namespace

void forbid_network() { forbidden = true; }
bool network_forbidden() { return forbidden; }

}  // namespace vormel::http
