// Damerau-Levenshtein distance in its restricted form (each character edited once), which is
// what "one slip of the keyboard" means, computed in three rolling rows.
#include "checker/closest_name.hpp"

#include <algorithm>
#include <vector>

namespace vormel {

size_t edit_distance(std::string_view a, std::string_view b, size_t limit) {
  size_t length_gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (length_gap > limit) return limit + 1;
  std::vector<size_t> before_previous(b.size() + 1), previous(b.size() + 1), row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    size_t row_best = row[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        row[j] = std::min(row[j], before_previous[j - 2] + 1);
      row_best = std::min(row_best, row[j]);
    }
    if (row_best > limit) return limit + 1;  // no later row can do better
    std::swap(before_previous, previous);
    std::swap(previous, row);
  }
  return std::min(previous[b.size()], limit + 1);
}

std::optional<std::string> closest_name(std::string_view name,
                                        std::span<const std::string> candidates) {
  constexpr size_t kMostEdits = 2;
  const std::string* best = nullptr;
  size_t best_distance = kMostEdits + 1;
  for (const std::string& candidate : candidates) {
    if (candidate == name) continue;
    size_t allowed = std::min(kMostEdits, std::min(name.size(), candidate.size()) / 3);
    size_t distance = edit_distance(name, candidate, allowed);
    if (distance <= allowed && distance < best_distance) {
      best = &candidate;
      best_distance = distance;
    }
  }
  if (best == nullptr) return std::nullopt;
  return *best;
}

std::optional<std::string> NameSuggester::suggest(std::string_view name) {
  if (auto known = remembered_.find(name); known != remembered_.end()) return known->second;
  std::optional<std::string> suggestion;
  if (comparisons_left_ >= candidates_.size()) {
    comparisons_left_ -= candidates_.size();
    suggestion = closest_name(name, candidates_);
  }
  remembered_.emplace(std::string(name), suggestion);
  return suggestion;
}

}  // namespace vormel
