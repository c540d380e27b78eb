// The switch over the evaluator's shortcuts: fast paths (integer operators inline, variables
// read in place, values grown in place, plain calls with their arguments built in place)
// that must give exactly what the general path beside each of them gives. Every shortcut
// tests shortcuts_enabled() where it branches off its general path, so this one switch
// turns all of them off:
// - a build with VORMEL_NO_SHORTCUTS runs the general paths alone, and the script tests run
//   on it too;
// - a build with VORMEL_SHORTCUT_SWITCH can flip them at run time, so that the differential
//   fuzzer runs each script down both paths in one process and compares what it shows.
#pragma once

namespace vormel {

#if defined(VORMEL_NO_SHORTCUTS)
inline constexpr bool shortcuts_enabled() { return false; }
#elif defined(VORMEL_SHORTCUT_SWITCH)
inline bool g_shortcuts_enabled = true;
inline bool shortcuts_enabled() { return g_shortcuts_enabled; }
#else
inline constexpr bool shortcuts_enabled() { return true; }
#endif

}  // namespace vormel
