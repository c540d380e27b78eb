#include <gtest/gtest.h>

#include "support/text_format.hpp"

namespace vormel {
namespace {

TEST(Utf8Test, AcceptsWellFormedText) {
  EXPECT_TRUE(is_valid_utf8(""));
  EXPECT_TRUE(is_valid_utf8("h\xc3\xa9llo"));          // é
  EXPECT_TRUE(is_valid_utf8("\xe2\x94\x80"));          // U+2500
  EXPECT_TRUE(is_valid_utf8("\xf0\x9f\x98\x80"));      // U+1F600
  EXPECT_TRUE(is_valid_utf8("\xef\xbb\xbfprint(1)"));  // a byte-order mark is text
}

TEST(Utf8Test, RejectsSurrogatesOverlongFormsAndTruncation) {
  EXPECT_FALSE(is_valid_utf8("\xff"));
  EXPECT_FALSE(is_valid_utf8("\x80"));
  EXPECT_FALSE(is_valid_utf8("\xc0\xaf"));          // overlong "/"
  EXPECT_FALSE(is_valid_utf8("\xe0\x80\xaf"));      // overlong "/"
  EXPECT_FALSE(is_valid_utf8("\xed\xa0\x80"));      // U+D800
  EXPECT_FALSE(is_valid_utf8("\xf4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(is_valid_utf8("\xe2\x94"));          // cut short
}

TEST(Utf8Test, DecodesEachLength) {
  std::string text = "a\u00e9\u2500\U0001F600";
  size_t pos = 0;
  EXPECT_EQ(decode_utf8(text, pos), U'a');
  EXPECT_EQ(decode_utf8(text, pos), U'\u00e9');
  EXPECT_EQ(decode_utf8(text, pos), U'\u2500');
  EXPECT_EQ(decode_utf8(text, pos), U'\U0001F600');
  EXPECT_EQ(pos, text.size());
}

TEST(Utf8Test, MalformedBytesDecodeOneAtATime) {
  std::string text =
      "\xe2\x94"
      "A\xed\xa0\x80\xff";
  size_t pos = 0;
  std::u32string decoded;
  while (pos < text.size()) decoded += decode_utf8(text, pos);
  EXPECT_EQ(decoded, U"\uFFFD\uFFFDA\uFFFD\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace vormel
