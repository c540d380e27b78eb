// How a dict stores one key, in 16 bytes. A key of up to 15 bytes is held whole: its bytes,
// zeros after them, and its length in the last byte, so two short keys are equal exactly when
// their two words are. A longer key points to a reference-counted copy of its text, and its
// second word holds a mark (a last byte no short key has) and the length.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vormel {

class DictKey {
 public:
  static constexpr size_t kInlineBytes = 15;
  static_assert(std::endian::native == std::endian::little, "the length byte is the last one");

  // The two words a lookup compares: a short key's whole form; for a long one, zero (no
  // stored key points there) and the mark with the length, which only long keys of that
  // length share.
  struct Words {
    uint64_t low;
    uint64_t high;
  };
  static Words words_of(std::string_view text) {
    const size_t n = text.size();
    const char* p = text.data();
    if (n > kInlineBytes) return {0, long_high(n)};
    // Overlapping loads: the bytes two loads share hold the same value in both.
    uint64_t low = 0, high = 0;
    if (n > 8) {
      low = load<uint64_t>(p);
      high = load<uint64_t>(p + n - 8) >> 8 * (16 - n);
    } else if (n == 8) {
      low = load<uint64_t>(p);
    } else if (n >= 4) {
      low = load<uint32_t>(p) | uint64_t{load<uint32_t>(p + n - 4)} << 8 * (n - 4);
    } else if (n >= 2) {
      low = load<uint16_t>(p) | uint64_t{load<uint16_t>(p + n - 2)} << 8 * (n - 2);
    } else if (n == 1) {
      low = static_cast<unsigned char>(p[0]);
    }
    return {low, high | uint64_t{n} << 56};
  }

  explicit DictKey(std::string_view text) : DictKey(text, words_of(text)) {}
  // With `words` from words_of(text), for a caller that has them already.
  DictKey(std::string_view text, const Words& words)
      : low_(is_long(words) ? copy_long_text(text) : words.low), high_(words.high) {}
  DictKey(const DictKey& other) noexcept : low_(other.low_), high_(other.high_) {
    if (is_long()) ++long_text()->refs;
  }
  DictKey(DictKey&& other) noexcept : low_(other.low_), high_(other.high_) {
    other.low_ = 0;
    other.high_ = 0;
  }
  DictKey& operator=(const DictKey&) = delete;
  DictKey& operator=(DictKey&&) = delete;
  ~DictKey() {
    if (is_long() && --long_text()->refs == 0) ::operator delete(long_text());
  }

  static bool is_long(const Words& words) { return words.high >= kLongMark; }
  bool is_long() const { return high_ >= kLongMark; }
  std::string_view view() const {
    if (is_long()) return {reinterpret_cast<const char*>(long_text() + 1), high_ & ~kLongMark};
    return {reinterpret_cast<const char*>(this), static_cast<size_t>(high_ >> 56)};
  }
  // Whether this is the key of short `words` (made by words_of from a short text).
  bool has_words(const Words& words) const { return low_ == words.low && high_ == words.high; }
  // Whether this is the long key `text`.
  bool is_long_key(std::string_view text) const {
    return high_ == long_high(text.size()) &&
           std::memcmp(long_text() + 1, text.data(), text.size()) == 0;
  }

 private:
  static constexpr uint64_t kLongMark = uint64_t{0xff} << 56;
  static uint64_t long_high(size_t length) { return kLongMark | length; }
  // A new shared copy of a long key's text (dict_key.cpp), as the key's first word.
  static uint64_t copy_long_text(std::string_view text);
  // Single-threaded, like the payloads that hold the keys, so the count is a plain integer.
  struct alignas(8) LongText {
    uint32_t refs;  // the text follows
  };
  LongText* long_text() const { return reinterpret_cast<LongText*>(static_cast<uintptr_t>(low_)); }
  template <typename Word>
  static Word load(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }

  // Little-endian words: a short key's bytes are the object's bytes, in order.
  uint64_t low_;
  uint64_t high_;
};

}  // namespace vormel
