// Dictionary payload: string keys, unique, listed in insertion order (a copy keeps it).
// The first few entries live inside the Dict itself, so a small dict needs no allocation of
// its own; more move to one heap block, whose address (and that of the index, once there is
// one) then takes the place of the inline entries. A key is 16 bytes (dict_key.hpp), a short
// one held whole, so a small dict's lookup compares two words per entry. Past a few entries
// an open-addressing index of positions takes over lookups.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <span>
#include <string_view>
#include <utility>

#include "interpreter/dict_key.hpp"
// Entries hold values: Value must be complete here (value.hpp includes this file at its end,
// after defining Value, so either header may come first).
#include "interpreter/value.hpp"

namespace vormel {

class Dict {
 public:
  class Entry {
   public:
    Entry(DictKey&& key, Value&& value) noexcept : key_(std::move(key)), value_(std::move(value)) {}
    std::string_view key() const { return key_.view(); }
    const Value& value() const { return value_; }

   private:
    friend class Dict;
    DictKey key_;
    Value value_;
  };

  // A key prepared for lookups: callers that look the same key up again and again (a member
  // name in the syntax tree) can build it once and keep it next to the key text.
  struct Key {
    explicit Key(std::string_view key)
        : text(key), words(DictKey::words_of(key)), hash(hash_of(key)) {}
    std::string_view text;
    DictKey::Words words;
    size_t hash;
  };
  static size_t hash_of(std::string_view key) { return std::hash<std::string_view>{}(key); }

  Dict() noexcept = default;
  Dict(const Dict& other);
  Dict(Dict&& other) noexcept;
  Dict& operator=(const Dict& other);
  Dict& operator=(Dict&& other) noexcept;
  ~Dict();

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // The value stored under `key`, or null. The Key overload skips preparing the key; the
  // string_view one prepares only what the dict's storage needs.
  const Value* find(std::string_view key) const {
    if (entries_inline()) return find_small(inline_entries(), key, DictKey::words_of(key));
    return find_spilled(key, nullptr);
  }
  const Value* find(const Key& key) const {
    if (entries_inline()) return find_small(inline_entries(), key.text, key.words);
    return find_spilled(key.text, &key);
  }
  // Inserts or replaces; a replaced key keeps its place in the listing order. A short key
  // into a dict with inline room is handled here; the rest out of line.
  void insert_or_assign(std::string_view key, Value value) {
    const DictKey::Words words = DictKey::words_of(key);
    if (entries_inline() && !DictKey::is_long(words)) {
      Entry* entries = inline_entries();
      for (uint32_t i = 0; i < size_; ++i) {
        if (entries[i].key_.has_words(words)) {
          entries[i].value_ = std::move(value);
          return;
        }
      }
      if (size_ < kInlineEntries) {
        ::new (entries + size_) Entry(DictKey(key, words), std::move(value));
        ++size_;
        return;
      }
    }
    insert_or_assign_any(key, words, std::move(value));
  }
  // Room for `count` entries, so that a dict of known size is built without regrowing.
  void reserve(size_t count) {
    if (count > capacity_) grow_to(count);
  }

  std::span<const Entry> entries() const { return {data(), size_}; }
  const Entry* begin() const { return data(); }
  const Entry* end() const { return data() + size_; }

  // Storage sizes, for tests.
  static constexpr size_t kInlineEntries = 4;
  static constexpr size_t kIndexThreshold = 8;  // more entries than this get the index
  bool entries_inline() const { return capacity_ == kInlineEntries; }
  bool has_index() const { return !entries_inline() && spilled().index != nullptr; }

 private:
  // What the inline room holds once the entries have moved out. The index is open addressing
  // over positions: its first word is its slot count (a power of two at least twice the entry
  // count), then each slot holds a position + 1, or 0 when empty.
  struct Spilled {
    Entry* entries;
    uint32_t* index;
  };
  static_assert(sizeof(Spilled) <= kInlineEntries * sizeof(Entry));
  static_assert(kIndexThreshold >= kInlineEntries, "an indexed dict has spilled");

  Entry* inline_entries() { return std::launder(reinterpret_cast<Entry*>(storage_)); }
  const Entry* inline_entries() const {
    return std::launder(reinterpret_cast<const Entry*>(storage_));
  }
  Spilled& spilled() { return *std::launder(reinterpret_cast<Spilled*>(storage_)); }
  const Spilled& spilled() const {
    return *std::launder(reinterpret_cast<const Spilled*>(storage_));
  }
  Entry* data() { return entries_inline() ? inline_entries() : spilled().entries; }
  const Entry* data() const { return entries_inline() ? inline_entries() : spilled().entries; }

  // Lookups while the dict has no index: a scan comparing each key's words.
  const Value* find_small(const Entry* entries, std::string_view key,
                          const DictKey::Words& words) const {
    if (DictKey::is_long(words)) [[unlikely]] {
      const std::ptrdiff_t at = scan(key, words);
      return at < 0 ? nullptr : &entries[at].value_;
    }
    for (uint32_t i = 0; i < size_; ++i)
      if (entries[i].key_.has_words(words)) return &entries[i].value_;
    return nullptr;
  }
  const Value* find_spilled(std::string_view key, const Key* prepared) const;
  std::ptrdiff_t scan(std::string_view key, const DictKey::Words& words) const;
  void insert_or_assign_any(std::string_view key, const DictKey::Words& words, Value value);
  std::ptrdiff_t probe(std::string_view key, size_t hash) const;
  void grow_to(size_t capacity);
  void rebuild_index(size_t entry_count);
  void index_position(size_t position, size_t hash);
  void destroy_entries() noexcept;
  void release_storage() noexcept;
  void take_from(Dict& other) noexcept;
  void copy_from(const Dict& other);

  uint32_t size_ = 0;
  uint32_t capacity_ = kInlineEntries;  // kInlineEntries while inline, more once spilled
  alignas(Entry) std::byte storage_[kInlineEntries * sizeof(Entry)];  // entries, or Spilled
};

}  // namespace vormel
