// Dictionary payload: string keys, unique, listed in insertion order (a copy keeps it).
// The first few entries live inside the Dict itself, so a small dict needs no allocation of
// its own; more move to one heap block. Each of the first entries keeps a tag (length, first
// and last byte) that a lookup compares before the key text, so a small dict is a short scan
// of integers. Past a few entries an open-addressing index of positions takes over lookups.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Entries hold values: Value must be complete here (value.hpp includes this file at its end,
// after defining Value, so either header may come first).
#include "interpreter/value.hpp"

namespace vormel {

class Dict {
 public:
  using Entry = std::pair<std::string, Value>;

  // A key prepared for lookups: callers that look the same key up again and again (a member
  // name in the syntax tree) can build it once and keep it next to the key text.
  struct Key {
    explicit Key(std::string_view key) : text(key), tag(tag_of(key)), hash(hash_of(key)) {}
    std::string_view text;
    uint32_t tag;
    size_t hash;
  };
  // Cheap summary of a key compared before the key text: equal keys have equal tags.
  static uint32_t tag_of(std::string_view key) {
    if (key.empty()) return 0;
    return (static_cast<uint32_t>(key.size()) & 0xffffu) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(key.front())) << 8 |
           static_cast<unsigned char>(key.back());
  }
  static size_t hash_of(std::string_view key) { return std::hash<std::string_view>{}(key); }

  Dict() noexcept : data_(inline_entries()) {}
  Dict(const Dict& other);
  Dict(Dict&& other) noexcept;
  Dict& operator=(const Dict& other);
  Dict& operator=(Dict&& other) noexcept;
  ~Dict();

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // The value stored under `key`, or null. The Key overload skips preparing the key; the
  // string_view one prepares only what the dict's current size needs.
  const Value* find(std::string_view key) const;
  const Value* find(const Key& key) const;
  // Inserts or replaces; a replaced key keeps its place in the listing order.
  void insert_or_assign(std::string key, Value value);
  // Room for `count` entries, so that a dict of known size is built without regrowing.
  void reserve(size_t count);

  std::span<const Entry> entries() const { return {data_, size_}; }
  const Entry* begin() const { return data_; }
  const Entry* end() const { return data_ + size_; }

  // Storage sizes, for tests.
  static constexpr size_t kInlineEntries = 4;
  static constexpr size_t kIndexThreshold = 8;  // more entries than this get the index
  bool entries_inline() const { return data_ == inline_entries(); }
  bool has_index() const { return !index_.empty(); }

 private:
  Entry* inline_entries() { return reinterpret_cast<Entry*>(inline_storage_); }
  const Entry* inline_entries() const { return reinterpret_cast<const Entry*>(inline_storage_); }
  std::ptrdiff_t scan(std::string_view key, uint32_t tag) const;
  std::ptrdiff_t probe(std::string_view key, size_t hash) const;
  void grow_to(size_t capacity);
  void rebuild_index(size_t entry_count);
  void index_position(size_t position, size_t hash);
  void destroy_entries() noexcept;
  void release_storage() noexcept;
  void take_from(Dict& other) noexcept;
  void copy_from(const Dict& other);

  Entry* data_;  // the inline storage or a heap block of capacity_ entries
  uint32_t size_ = 0;
  uint32_t capacity_ = kInlineEntries;
  // Open addressing over positions: a slot holds position + 1, or 0 when empty. Its size is
  // a power of two at least twice the entry count; empty while the dict is small.
  std::vector<uint32_t> index_;
  uint32_t tags_[kIndexThreshold];  // tags of the first entries, scanned while unindexed
  alignas(Entry) std::byte inline_storage_[kInlineEntries * sizeof(Entry)];
};

}  // namespace vormel
