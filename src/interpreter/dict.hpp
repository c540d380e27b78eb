// Dictionary payload: string keys, unique, listed in insertion order (a copy keeps it).
// The first few entries live inside the Dict itself, so a small dict needs no allocation of
// its own; more move to one heap block. Each of the first entries keeps a tag (a short key
// whole, or the start of a long one) that a lookup compares before the key text, so a small
// dict is a short scan of integers. Past a few entries an open-addressing index of positions
// takes over lookups.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
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
    uint64_t tag;
    size_t hash;
  };
  // Summary of a key compared before the key text; equal keys have equal tags. A key of up
  // to kWholeKeyBytes bytes is held whole (its bytes, and its length in the top byte), so
  // equal tags mean equal keys; a longer one keeps its first bytes and a marked top byte.
  static constexpr size_t kWholeKeyBytes = 7;
  static_assert(std::endian::native == std::endian::little, "tags place bytes by address");
  static uint64_t tag_of(std::string_view key) {
    const size_t n = key.size();
    const char* p = key.data();
    if (n > kWholeKeyBytes) return (load<uint64_t>(p) & 0x00ffffffffffffffu) | uint64_t{0x80} << 56;
    uint64_t bytes = 0;  // overlapping loads: shared bytes hold the same value in both
    if (n >= 4) {
      bytes = load<uint32_t>(p) | uint64_t{load<uint32_t>(p + n - 4)} << 8 * (n - 4);
    } else if (n >= 2) {
      bytes = load<uint16_t>(p) | uint64_t{load<uint16_t>(p + n - 2)} << 8 * (n - 2);
    } else if (n == 1) {
      bytes = static_cast<unsigned char>(p[0]);
    }
    return bytes | uint64_t{n} << 56;
  }
  static bool tag_holds_whole_key(uint64_t tag) { return tag >> 56 <= kWholeKeyBytes; }
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
  const Value* find(std::string_view key) const {
    if (!index_.empty()) return find_indexed(key, hash_of(key));
    return find_small(key, tag_of(key));
  }
  const Value* find(const Key& key) const {
    if (!index_.empty()) return find_indexed(key.text, key.hash);
    return find_small(key.text, key.tag);
  }
  // Inserts or replaces; a replaced key keeps its place in the listing order.
  void insert_or_assign(const std::string& key, Value value) {
    insert_or_assign_key(key, std::move(value));
  }
  void insert_or_assign(std::string&& key, Value value) {
    insert_or_assign_key(std::move(key), std::move(value));
  }
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
  template <typename Word>
  static Word load(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }
  // Lookups while the dict has no index: a scan of the tags.
  const Value* find_small(std::string_view key, uint64_t tag) const {
    for (uint32_t i = 0; i < size_; ++i) {
      if (tags_[i] == tag && (tag_holds_whole_key(tag) || data_[i].first == key))
        return &data_[i].second;
    }
    return nullptr;
  }
  const Value* find_indexed(std::string_view key, size_t hash) const;
  template <typename KeyText>
  void insert_or_assign_key(KeyText&& key, Value value);
  std::ptrdiff_t scan(std::string_view key, uint64_t tag) const;
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
  uint64_t tags_[kIndexThreshold];  // tags of the first entries, scanned while unindexed
  alignas(Entry) std::byte inline_storage_[kInlineEntries * sizeof(Entry)];
};

}  // namespace vormel
