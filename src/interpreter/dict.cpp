// Dictionaries: entries in insertion order, inline while few, with an index once they grow.
#include "interpreter/dict.hpp"

#include <algorithm>
#include <bit>
#include <memory>
#include <new>

#include "interpreter/value.hpp"

namespace vormel {

Dict::Dict(const Dict& other) { copy_from(other); }

Dict::Dict(Dict&& other) noexcept { take_from(other); }

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
  std::destroy_n(data(), size_);
  size_ = 0;
}

// Back to inline storage; the entries must be gone already.
void Dict::release_storage() noexcept {
  if (entries_inline()) return;
  ::operator delete(spilled().entries);
  ::operator delete(spilled().index);
  capacity_ = kInlineEntries;
}

// Into an empty dict with inline storage; leaves `other` the same. Heap blocks change hands;
// inline entries move.
void Dict::take_from(Dict& other) noexcept {
  if (other.entries_inline()) {
    std::uninitialized_move_n(other.inline_entries(), other.size_, inline_entries());
    std::destroy_n(other.inline_entries(), other.size_);
  } else {
    ::new (storage_) Spilled(other.spilled());
    capacity_ = other.capacity_;
    other.capacity_ = kInlineEntries;
  }
  size_ = other.size_;
  other.size_ = 0;
}

// Into an empty dict with inline storage. Copying an entry cannot fail (a long key's text is
// shared), so only the blocks can: on failure the dict stays empty.
void Dict::copy_from(const Dict& other) {
  if (other.size_ > kInlineEntries) {
    grow_to(other.size_);
    if (other.has_index()) {
      const uint32_t* from = other.spilled().index;
      const size_t words = size_t{from[0]} + 1;
      try {
        spilled().index = static_cast<uint32_t*>(::operator new(words * sizeof(uint32_t)));
      } catch (...) {
        release_storage();
        throw;
      }
      std::copy_n(from, words, spilled().index);
    }
  }
  std::uninitialized_copy_n(other.data(), other.size_, data());
  size_ = other.size_;
}

void Dict::grow_to(size_t capacity) {
  // Positions are 32-bit; a dict that large could not be allocated anyway.
  if (capacity > UINT32_MAX) throw std::bad_alloc();
  auto* moved = static_cast<Entry*>(::operator new(capacity * sizeof(Entry)));
  Entry* entries = data();
  std::uninitialized_move_n(entries, size_, moved);
  std::destroy_n(entries, size_);
  if (entries_inline()) {
    ::new (storage_) Spilled{moved, nullptr};
  } else {
    ::operator delete(entries);
    spilled().entries = moved;
  }
  capacity_ = static_cast<uint32_t>(capacity);
}

const Value* Dict::find_spilled(std::string_view key, const Key* prepared) const {
  if (spilled().index == nullptr) {
    const DictKey::Words words = prepared ? prepared->words : DictKey::words_of(key);
    return find_small(spilled().entries, key, words);
  }
  const std::ptrdiff_t at = probe(key, prepared ? prepared->hash : hash_of(key));
  return at < 0 ? nullptr : &spilled().entries[at].value_;
}

std::ptrdiff_t Dict::scan(std::string_view key, const DictKey::Words& words) const {
  const Entry* entries = data();
  if (DictKey::is_long(words)) {
    for (uint32_t i = 0; i < size_; ++i)
      if (entries[i].key_.is_long_key(key)) return i;
  } else {
    for (uint32_t i = 0; i < size_; ++i)
      if (entries[i].key_.has_words(words)) return i;
  }
  return -1;
}

std::ptrdiff_t Dict::probe(std::string_view key, size_t hash) const {
  const uint32_t* index = spilled().index;
  const uint32_t* slots = index + 1;
  const Entry* entries = spilled().entries;
  const size_t mask = index[0] - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const uint32_t held = slots[slot];
    if (held == 0) return -1;
    if (entries[held - 1].key() == key) return held - 1;
  }
}

void Dict::insert_or_assign_any(std::string_view key, const DictKey::Words& words, Value value) {
  const bool indexed = has_index();
  const size_t hash = indexed || size_ >= kIndexThreshold ? hash_of(key) : 0;
  const std::ptrdiff_t at = indexed ? probe(key, hash) : scan(key, words);
  if (at >= 0) {
    data()[at].value_ = std::move(value);
    return;
  }
  // Everything that may fail to allocate comes before the dict changes. The key is stored
  // first, as `key` may view a key of this very dict, which growing moves.
  DictKey stored(key, words);
  if (size_ == capacity_) grow_to(size_t{capacity_} * 2);
  const size_t count = size_ + 1;
  if (count > kIndexThreshold && (!indexed || count * 2 > spilled().index[0])) rebuild_index(count);
  ::new (data() + size_) Entry(std::move(stored), std::move(value));
  if (count > kIndexThreshold) index_position(size_, hash);
  ++size_;
}

// Sized for `entry_count` entries; holds the current ones (the next is added by the caller).
void Dict::rebuild_index(size_t entry_count) {
  const size_t slots = std::bit_ceil(entry_count * 2);
  if (slots >= UINT32_MAX) throw std::bad_alloc();
  auto* index = static_cast<uint32_t*>(::operator new((slots + 1) * sizeof(uint32_t)));
  index[0] = static_cast<uint32_t>(slots);
  std::fill_n(index + 1, slots, 0);
  ::operator delete(spilled().index);
  spilled().index = index;
  const Entry* entries = spilled().entries;
  for (uint32_t i = 0; i < size_; ++i) index_position(i, hash_of(entries[i].key()));
}

void Dict::index_position(size_t position, size_t hash) {
  uint32_t* slots = spilled().index + 1;
  const size_t mask = spilled().index[0] - 1;
  size_t slot = hash & mask;
  while (slots[slot] != 0) slot = (slot + 1) & mask;
  slots[slot] = static_cast<uint32_t>(position + 1);
}

}  // namespace vormel
