#include "support/unicode_rules.hpp"

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include "support/text_case.hpp"

namespace vormel {
namespace {

// The functions found in the loaded library, and the fixed White_Space set, agree with ICU
// called directly on every code point.
TEST(UnicodeRules, AgreeWithIcuOnEveryCodePoint) {
  for (UChar32 c = 0; c <= 0x10FFFF; ++c) {
    auto cp = static_cast<char32_t>(c);
    int8_t category = u_charType(c);
    bool alphanumeric = u_hasBinaryProperty(c, UCHAR_ALPHABETIC) ||
                        category == U_DECIMAL_DIGIT_NUMBER || category == U_LETTER_NUMBER ||
                        category == U_OTHER_NUMBER;
    ASSERT_EQ(unicode::is_alphanumeric(cp), alphanumeric) << c;
    ASSERT_EQ(unicode::is_printable(cp), u_isprint(c) != 0) << c;
    ASSERT_EQ(unicode::is_white_space(cp), u_hasBinaryProperty(c, UCHAR_WHITE_SPACE) != 0) << c;
  }
}

TEST(UnicodeRules, CaseMappingsGrowAndShrink) {
  EXPECT_EQ(to_case("Hello, World 42", TextCase::Upper), "HELLO, WORLD 42");
  EXPECT_EQ(to_case("straße ﬁ", TextCase::Upper), "STRASSE FI");
  EXPECT_EQ(to_case("ὈΔΥΣΣΕΎΣ", TextCase::Lower), "ὀδυσσεύς");
  // Each "ΐ" (two bytes) becomes three characters (six bytes): more than the first guess.
  std::string source;
  std::string grown;
  for (int i = 0; i < 20; ++i) {
    source += "\u0390";
    grown += "\u0399\u0308\u0301";
  }
  EXPECT_EQ(to_case(source, TextCase::Upper), grown);
  EXPECT_EQ(to_case("", TextCase::Lower), "");
}

}  // namespace
}  // namespace vormel
