// Dictionaries: entries in insertion order, with a hash index once they grow.
#include "interpreter/dict.hpp"

#include "interpreter/value.hpp"

namespace vormel {

Dict::Dict() = default;
Dict::Dict(const Dict& other) : entries_(other.entries_) {
  if (other.index_) rebuild_index();
}
Dict::Dict(Dict&&) noexcept = default;
Dict& Dict::operator=(const Dict& other) {
  if (this != &other) {
    entries_ = other.entries_;
    index_.reset();
    if (other.index_) rebuild_index();
  }
  return *this;
}
Dict& Dict::operator=(Dict&&) noexcept = default;
Dict::~Dict() = default;

std::ptrdiff_t Dict::position_of(std::string_view key) const {
  if (index_) {
    auto it = index_->find(key);
    return it == index_->end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
  }
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].first == key) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

const Value* Dict::find(std::string_view key) const {
  std::ptrdiff_t at = position_of(key);
  return at < 0 ? nullptr : &entries_[static_cast<size_t>(at)].second;
}

void Dict::insert_or_assign(std::string key, Value value) {
  std::ptrdiff_t at = position_of(key);
  if (at >= 0) {
    entries_[static_cast<size_t>(at)].second = std::move(value);
    return;
  }
  if (index_) index_->emplace(key, entries_.size());
  entries_.emplace_back(std::move(key), std::move(value));
  if (!index_ && entries_.size() > kIndexThreshold) rebuild_index();
}

void Dict::rebuild_index() {
  index_ = std::make_unique<std::unordered_map<std::string, size_t, Hash, std::equal_to<>>>();
  index_->reserve(entries_.size() * 2);
  for (size_t i = 0; i < entries_.size(); ++i) index_->emplace(entries_[i].first, i);
}

}  // namespace vormel
