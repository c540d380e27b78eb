// Suggestions for a misspelt name: the candidate a slip of the keyboard away.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vormel {

// Edits (insertions, deletions, substitutions, swaps of neighbours) between two names,
// counted up to `limit`: any larger distance is reported as limit + 1.
size_t edit_distance(std::string_view a, std::string_view b, size_t limit);

// The candidate fewest edits away from `name`, if it is at most two edits away and the
// edits change at most a third of the shorter name: "sped" is a slip of "speed", but "nil"
// is not one of "n", nor "None" of "move". Ties go to the earlier candidate; the name itself
// is never suggested.
std::optional<std::string> closest_name(std::string_view name,
                                        std::span<const std::string> candidates);

}  // namespace vormel
