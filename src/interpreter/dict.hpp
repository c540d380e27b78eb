// Dictionary payload: string keys, unique, listed in insertion order (a copy keeps it).
// Entries live in a vector; a hash index over them is built once the dict grows past a
// few entries, so small dicts stay a linear scan.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Entries hold values: Value must be complete here (value.hpp includes this file at its end,
// after defining Value, so either header may come first).
#include "interpreter/value.hpp"

namespace vormel {

class Dict {
 public:
  using Entry = std::pair<std::string, Value>;

  Dict();
  Dict(const Dict& other);
  Dict(Dict&&) noexcept;
  Dict& operator=(const Dict& other);
  Dict& operator=(Dict&&) noexcept;
  ~Dict();

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const Value* find(std::string_view key) const;
  // Inserts or replaces; a replaced key keeps its place in the listing order.
  void insert_or_assign(std::string key, Value value);

  const std::vector<Entry>& entries() const { return entries_; }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  static constexpr size_t kIndexThreshold = 8;
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::ptrdiff_t position_of(std::string_view key) const;
  void rebuild_index();

  std::vector<Entry> entries_;
  std::unique_ptr<std::unordered_map<std::string, size_t, Hash, std::equal_to<>>> index_;
};

}  // namespace vormel
