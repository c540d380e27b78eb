// Rendered lines of text kept for reuse, keyed by text, size and colour, so that a score
// drawn every frame is rasterised once. Bounded by entry count and by pixels: when either is
// over its limit, the least recently used entries are released first. A lookup allocates
// nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

#include "interpreter/graphics/renderer.hpp"

namespace vormel {

template <typename Texture>
class TextCache {
 public:
  struct Entry {
    Texture texture;
    int32_t width, height;
  };
  using Release = void (*)(Texture);

  TextCache(size_t max_entries, size_t max_pixels, Release release)
      : max_entries_(max_entries), max_pixels_(max_pixels), release_(release) {}
  ~TextCache() { clear(); }
  TextCache(const TextCache&) = delete;
  TextCache& operator=(const TextCache&) = delete;

  // The entry, made the most recently used; null when absent.
  const Entry* find(std::string_view text, int size, DrawColor color) {
    auto it = index_.find(KeyView{text, size, color});
    if (it == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, it->second);
    return &it->second->entry;
  }

  // Takes the entry's texture; evicts older entries past the limits.
  const Entry& insert(std::string_view text, int size, DrawColor color, Entry entry) {
    order_.push_front(Node{std::string(text), size, color, entry});
    Node& node = order_.front();
    index_.emplace(KeyView{node.text, size, color}, order_.begin());
    pixels_ += pixels_of(entry);
    while (order_.size() > 1 && (order_.size() > max_entries_ || pixels_ > max_pixels_))
      evict_oldest();
    return node.entry;
  }

  void clear() {
    while (!order_.empty()) evict_oldest();
  }
  size_t size() const { return order_.size(); }

 private:
  struct Node {
    std::string text;
    int size;
    DrawColor color;
    Entry entry;
  };
  // Points into a Node's text, which a std::list never moves.
  struct KeyView {
    std::string_view text;
    int size;
    DrawColor color;
    bool operator==(const KeyView&) const = default;
  };
  struct Hash {
    size_t operator()(const KeyView& key) const {
      const uint64_t extra = (static_cast<uint64_t>(static_cast<uint32_t>(key.size)) << 32) |
                             (uint32_t{key.color.r} << 24) | (uint32_t{key.color.g} << 16) |
                             (uint32_t{key.color.b} << 8) | key.color.a;
      return std::hash<std::string_view>{}(key.text) ^ (std::hash<uint64_t>{}(extra)*31);
    }
  };

  static size_t pixels_of(const Entry& entry) {
    return static_cast<size_t>(entry.width) * static_cast<size_t>(entry.height);
  }

  void evict_oldest() {
    Node& node = order_.back();
    index_.erase(KeyView{node.text, node.size, node.color});
    pixels_ -= pixels_of(node.entry);
    release_(node.entry.texture);
    order_.pop_back();
  }

  size_t max_entries_, max_pixels_;
  Release release_;
  size_t pixels_ = 0;
  std::list<Node> order_;  // most recently used first
  std::unordered_map<KeyView, typename std::list<Node>::iterator, Hash> index_;
};

}  // namespace vormel
