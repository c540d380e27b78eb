#include "support/text_format.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/text_equality.hpp"

namespace vormel {
namespace {

TEST(FloatTextTest, DisplayIsShortestPositional) {
  EXPECT_EQ(display_float_text(3.0), "3");
  EXPECT_EQ(display_float_text(100.0), "100");
  EXPECT_EQ(display_float_text(2.5), "2.5");
  EXPECT_EQ(display_float_text(0.1), "0.1");
  EXPECT_EQ(display_float_text(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(display_float_text(1e21), "1000000000000000000000");
  EXPECT_EQ(display_float_text(1e-7), "0.0000001");
  EXPECT_EQ(display_float_text(-0.0), "-0");
  EXPECT_EQ(display_float_text(std::nan("")), "NaN");
  EXPECT_EQ(display_float_text(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(FloatTextTest, DebugAlwaysShowsAFractionOrExponent) {
  EXPECT_EQ(debug_float_text(3.0), "3.0");
  EXPECT_EQ(debug_float_text(-0.5), "-0.5");
  EXPECT_EQ(debug_float_text(1e16), "1e16");
  EXPECT_EQ(debug_float_text(1.5e-7), "1.5e-7");
  EXPECT_EQ(debug_float_text(1e15), "1000000000000000.0");
  EXPECT_EQ(debug_float_text(0.0001), "0.0001");
  EXPECT_EQ(debug_float_text(0.0), "0.0");
  EXPECT_EQ(debug_float_text(std::numeric_limits<double>::infinity()), "inf");
}

TEST(QuotedStringTest, EscapesAndNonPrintables) {
  EXPECT_EQ(quoted_debug_string("hi"), "\"hi\"");
  EXPECT_EQ(quoted_debug_string("a\"b\\c\td\re\nf"), "\"a\\\"b\\\\c\\td\\re\\nf\"");
  EXPECT_EQ(quoted_debug_string(std::string_view("\0", 1)), "\"\\0\"");
  EXPECT_EQ(quoted_debug_string("\x7f\x1b"), "\"\\u{7f}\\u{1b}\"");
  EXPECT_EQ(quoted_debug_string("h\xc3\xa9"), "\"h\xc3\xa9\"");
}

}  // namespace
}  // namespace vormel

// Texts of every length up to 12 differ from a copy changed at any one byte, and equal an
// unchanged copy: the short texts' overlapping loads cover every byte.
TEST(TextEquality, EveryByteCountsAtEveryLength) {
  const std::string base = "abcdefghijkl";
  for (size_t n = 0; n <= base.size(); ++n) {
    std::string text = base.substr(0, n);
    std::string copy = text;
    EXPECT_TRUE(vormel::texts_equal(text, copy)) << n;
    for (size_t at = 0; at < n; ++at) {
      std::string changed = text;
      changed[at] = '#';
      EXPECT_FALSE(vormel::texts_equal(text, changed)) << n << " at " << at;
    }
    EXPECT_FALSE(vormel::texts_equal(text, text + "x")) << n;
  }
}
