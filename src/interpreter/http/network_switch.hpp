// A process-wide switch that keeps the HTTP module off the network. Fuzzing builds (those
// with the step budget) start with it off, so that generated scripts neither serve forever
// nor resolve or reach hosts.
#pragma once

namespace vormel::http {

void forbid_network();
bool network_forbidden();

}  // namespace vormel::http
