// json.parse on bytes no script can hold: a script's strings are always UTF-8, so text that
// is not reaches json.parse only from C++ callers (and the fuzz target).
#include "interpreter/library/json_parse.hpp"

#include <gtest/gtest.h>

namespace vormel {
namespace {

std::string error_of(std::string_view text) {
  Value value = parse_json(text);
  return value.is(ValueKind::Error) ? value.error_message() : "(no error)";
}

TEST(JsonParse, RejectsBytesThatAreNotUtf8) {
  EXPECT_EQ(error_of("[\"ab\xff\"]"), "json.parse: invalid UTF-8 at line 1, column 5");
  EXPECT_EQ(error_of("\"\xc3\""), "json.parse: invalid UTF-8 at line 1, column 3");
  EXPECT_EQ(error_of("\"\xed\xa0\x80\""), "json.parse: invalid UTF-8 at line 1, column 3");
  // Outside a string the byte is shown escaped, so the message stays UTF-8 text.
  EXPECT_EQ(error_of("\n [\xfe]"), "json.parse: unexpected '\\xfe' at line 2, column 3");
  EXPECT_EQ(error_of("\xef\xbb"), "json.parse: invalid UTF-8 at line 1, column 1");
}

TEST(JsonParse, ReadsNulInsideAndStopsAtNulOutside) {
  Value value = parse_json(std::string_view("\"a\\u0000b\"", 10));
  ASSERT_TRUE(value.is(ValueKind::String));
  EXPECT_EQ(value.as_string(), std::string("a\0b", 3));
  EXPECT_EQ(error_of(std::string_view("[1, \0 2]", 8)),
            "json.parse: unexpected '\\u0000' at line 1, column 5");
  EXPECT_EQ(error_of(std::string_view("[1]\0", 4)),
            "json.parse: unexpected '\\u0000' at line 1, column 4");
}

}  // namespace
}  // namespace vormel
