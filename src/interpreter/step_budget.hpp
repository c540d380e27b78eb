// A bound on the work one run may do, compiled in for fuzzing only: a generated script
// that loops forever then ends with an exception the fuzzing harness catches. Normal
// builds compile the hooks to nothing.
//
// A step is a loop pass, a call, a stretch of a drawn shape, a band of filled or cleared
// rows, or a share of a paced frame: work that the evaluator's shortcuts and its general
// paths do alike, so that both spend the same steps and the differential fuzzer can compare
// a script that nearly runs out. What a value costs to build (a range's array) is left to
// the harness's bound on memory.
#pragma once

#include <cstdint>

namespace vormel {

#ifdef VORMEL_STEP_BUDGET
inline constexpr bool kStepBudget = true;
struct StepBudgetExhausted {};

inline thread_local uint64_t g_steps_left = UINT64_MAX;

inline void spend_steps(uint64_t steps) {
  if (g_steps_left < steps) throw StepBudgetExhausted{};
  g_steps_left -= steps;
}
#else
inline constexpr bool kStepBudget = false;
inline void spend_steps(uint64_t) {}
#endif

// Filling or clearing pixels costs a step per 8 rows (and one for any part of a row).
inline constexpr uint64_t rows_as_steps(int64_t rows) {
  return rows > 0 ? static_cast<uint64_t>(rows) / 8 + 1 : 1;
}

}  // namespace vormel
