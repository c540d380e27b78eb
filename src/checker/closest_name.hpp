// Suggestions for a misspelt name: the candidate a slip of the keyboard away.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// closest_name over one list of candidates, remembered per name. The work is bounded, so a
// huge script with many distinct misspelt names stays quick: past the budget, no more names
// are suggested.
class NameSuggester {
 public:
  // The budget counts comparisons of a name with a candidate.
  explicit NameSuggester(std::vector<std::string> candidates, size_t budget = 10'000'000)
      : candidates_(std::move(candidates)), comparisons_left_(budget) {}
  std::optional<std::string> suggest(std::string_view name);

 private:
  std::vector<std::string> candidates_;
  std::map<std::string, std::optional<std::string>, std::less<>> remembered_;
  size_t comparisons_left_;
};

}  // namespace vormel
