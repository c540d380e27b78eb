// Dict keys: inline up to 15 bytes, shared text past that; every length and byte value reads
// back as it went in, through copies and moves.
#include "interpreter/dict_key.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

namespace vormel {
namespace {

// How a dict compares a stored key with a looked-up text.
bool matches(const DictKey& key, std::string_view text) {
  const DictKey::Words words = DictKey::words_of(text);
  return DictKey::is_long(words) ? key.is_long_key(text) : key.has_words(words);
}

TEST(DictKeyTest, EveryLengthAroundTheInlineLimitReadsBack) {
  for (size_t length = 0; length <= 40; ++length) {
    SCOPED_TRACE("length " + std::to_string(length));
    std::string text;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>(i % 3 == 0 ? 0 : 0xe0 + i);
    const DictKey key(text);
    EXPECT_EQ(key.is_long(), length > DictKey::kInlineBytes);
    EXPECT_EQ(key.view(), text);
    EXPECT_TRUE(matches(key, text));
    std::string other = text + "x";
    EXPECT_FALSE(matches(key, other));
    if (length > 0) {
      other = text;
      other.back() = 'x';
      EXPECT_FALSE(matches(key, other));
    }
  }
}

TEST(DictKeyTest, CopiesShareLongTextAndOutliveTheOriginal) {
  for (const std::string& text : {std::string("short"), std::string(100, 'L')}) {
    auto original = std::make_unique<DictKey>(text);
    const DictKey copy(*original);
    EXPECT_EQ(copy.view().data() == original->view().data(), original->is_long());
    DictKey moved(std::move(*original));
    EXPECT_EQ(original->view(), "");  // NOLINT(bugprone-use-after-move)
    original.reset();
    EXPECT_EQ(copy.view(), text);
    EXPECT_EQ(moved.view(), text);
  }
}

}  // namespace
}  // namespace vormel
