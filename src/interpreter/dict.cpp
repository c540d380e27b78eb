// Dictionaries: entries in insertion order, inline while few, with an index once they grow.
#include "interpreter/dict.hpp"

#include <algorithm>
#include <bit>
#include <memory>
#include <new>

#include "interpreter/value.hpp"

namespace vormel {

Dict::Dict(const Dict& other) : data_(inline_entries()) { copy_from(other); }

Dict::Dict(Dict&& other) noexcept : data_(inline_entries()) { take_from(other); }

Dict& Dict::operator=(const Dict& other) {
  if (this != &other) {
    Dict copy(other);
    destroy_entries();
    release_storage();
    take_from(copy);
  }
  return *this;
}

Dict& Dict::operator=(Dict&& other) noexcept {
  if (this != &other) {
    destroy_entries();
    release_storage();
    take_from(other);
  }
  return *this;
}

Dict::~Dict() {
  destroy_entries();
  release_storage();
}

void Dict::destroy_entries() noexcept {
  std::destroy_n(data_, size_);
  size_ = 0;
  index_.clear();
}

void Dict::release_storage() noexcept {
  if (!entries_inline()) ::operator delete(data_);
  data_ = inline_entries();
  capacity_ = kInlineEntries;
}

// Leaves `other` empty with inline storage. Heap blocks change hands; inline entries move.
void Dict::take_from(Dict& other) noexcept {
  if (other.entries_inline()) {
    std::uninitialized_move_n(other.data_, other.size_, data_);
    std::destroy_n(other.data_, other.size_);
  } else {
    data_ = other.data_;
    capacity_ = other.capacity_;
    other.data_ = other.inline_entries();
    other.capacity_ = kInlineEntries;
  }
  size_ = other.size_;
  std::copy_n(other.tags_, std::min<size_t>(size_, kIndexThreshold), tags_);
  index_ = std::move(other.index_);
  other.index_.clear();
  other.size_ = 0;
}

// Into an empty dict with inline storage. On failure (out of memory) it stays empty.
void Dict::copy_from(const Dict& other) {
  if (other.size_ > kInlineEntries) {
    data_ = static_cast<Entry*>(::operator new(other.size_ * sizeof(Entry)));
    capacity_ = other.size_;
  }
  try {
    for (; size_ < other.size_; ++size_) new (data_ + size_) Entry(other.data_[size_]);
    index_ = other.index_;
  } catch (...) {
    destroy_entries();
    release_storage();
    throw;
  }
  std::copy_n(other.tags_, std::min<size_t>(size_, kIndexThreshold), tags_);
}

void Dict::reserve(size_t count) {
  if (count > capacity_) grow_to(count);
}

void Dict::grow_to(size_t capacity) {
  // Positions are 32-bit; a dict that large could not be allocated anyway.
  if (capacity > UINT32_MAX) throw std::bad_alloc();
  auto* moved = static_cast<Entry*>(::operator new(capacity * sizeof(Entry)));
  std::uninitialized_move_n(data_, size_, moved);
  std::destroy_n(data_, size_);
  if (!entries_inline()) ::operator delete(data_);
  data_ = moved;
  capacity_ = static_cast<uint32_t>(capacity);
}

std::ptrdiff_t Dict::scan(std::string_view key, uint64_t tag) const {
  for (uint32_t i = 0; i < size_; ++i)
    if (tags_[i] == tag && (tag_holds_whole_key(tag) || data_[i].first == key)) return i;
  return -1;
}

std::ptrdiff_t Dict::probe(std::string_view key, size_t hash) const {
  const size_t mask = index_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const uint32_t held = index_[slot];
    if (held == 0) return -1;
    if (data_[held - 1].first == key) return held - 1;
  }
}

const Value* Dict::find_indexed(std::string_view key, size_t hash) const {
  const std::ptrdiff_t at = probe(key, hash);
  return at < 0 ? nullptr : &data_[at].second;
}

template <typename KeyText>
void Dict::insert_or_assign_key(KeyText&& key, Value value) {
  const bool indexed = !index_.empty();
  const uint64_t tag = tag_of(key);
  const size_t hash = indexed || size_ == kIndexThreshold ? hash_of(key) : 0;
  const std::ptrdiff_t at = indexed ? probe(key, hash) : scan(key, tag);
  if (at >= 0) {
    data_[at].second = std::move(value);
    return;
  }
  // Everything that may fail to allocate comes before the dict changes.
  if (size_ == capacity_) grow_to(size_t{capacity_} * 2);
  const size_t count = size_ + 1;
  if (count > kIndexThreshold && count * 2 > index_.size()) rebuild_index(count);
  new (data_ + size_) Entry(std::forward<KeyText>(key), std::move(value));
  if (size_ < kIndexThreshold) tags_[size_] = tag;
  if (!index_.empty()) index_position(size_, hash);
  ++size_;
}

// Sized for `entry_count` entries; holds the current ones (the next is added by the caller).
void Dict::rebuild_index(size_t entry_count) {
  std::vector<uint32_t> slots(std::bit_ceil(entry_count * 2));
  slots.swap(index_);
  for (uint32_t i = 0; i < size_; ++i) index_position(i, hash_of(data_[i].first));
}

void Dict::index_position(size_t position, size_t hash) {
  const size_t mask = index_.size() - 1;
  size_t slot = hash & mask;
  while (index_[slot] != 0) slot = (slot + 1) & mask;
  index_[slot] = static_cast<uint32_t>(position + 1);
}

template void Dict::insert_or_assign_key(const std::string&, Value);
template void Dict::insert_or_assign_key(std::string&&, Value);

}  // namespace vormel
