// Parts of the editor tools that their end-to-end tests cannot pin down: the hover table
// covers everything the interpreter exports, and positions convert between UTF-8 offsets
// and the protocol's UTF-16 columns.
#include <gtest/gtest.h>

#include "checker/check.hpp"
#include "checker/library_names.hpp"
#include "lsp/language_server.hpp"
#include "lsp/library_docs.hpp"
#include "lsp/text_positions.hpp"

namespace vormel {
namespace {

TEST(EditorToolsTest, EveryBuiltInAndModuleFunctionHasAHoverEntry) {
  ASSERT_EQ(builtin_function_names().size(), 39u);
  for (const std::string& name : builtin_function_names()) {
    const FunctionDoc* doc = find_function_doc(name);
    ASSERT_NE(doc, nullptr) << name;
    EXPECT_EQ(doc->signature.substr(0, name.size() + 1), name + "(") << name;
  }
  EXPECT_EQ(module_function_names("sdl2").size(), 21u);
  EXPECT_EQ(module_function_names("http").size(), 8u);
  for (const char* module : {"sdl2", "http"}) {
    for (const std::string& function : module_function_names(module)) {
      std::string full = std::string(module) + "." + function;
      const FunctionDoc* doc = find_function_doc(full);
      ASSERT_NE(doc, nullptr) << full;
      EXPECT_EQ(doc->signature.substr(0, full.size() + 1), full + "(") << full;
    }
  }
  EXPECT_EQ(find_function_doc("nothing"), nullptr);
  EXPECT_TRUE(module_function_names("mathlib").empty());
}

TEST(EditorToolsTest, ProtocolPositionsCountUtf16Units) {
  std::string_view text = "ab\né😀x\n";
  // x is byte 9 (é two bytes, 😀 four), column 3 in UTF-16 units.
  EXPECT_EQ(to_lsp_position(text, 9).line, 1u);
  EXPECT_EQ(to_lsp_position(text, 9).character, 3u);
  EXPECT_EQ(to_offset(text, {1, 3}), 9u);
  EXPECT_EQ(to_offset(text, {1, 2}), 5u);   // inside the surrogate pair: before the emoji
  EXPECT_EQ(to_offset(text, {0, 99}), 2u);  // past the line's end: its end
  EXPECT_EQ(to_offset(text, {9, 0}), text.size());
  LineIndex lines(text);
  LspPosition p = to_lsp_position(lines, lines.at(9));
  EXPECT_EQ(p.line, 1u);
  EXPECT_EQ(p.character, 3u);
  NameSpan name = name_at("print(len_x)", 8);
  EXPECT_EQ(name.start, 6u);
  EXPECT_EQ(name.end, 11u);
  EXPECT_TRUE(name_at("a + b", 2).empty());
}

TEST(EditorToolsTest, FileUrisBecomePaths) {
  EXPECT_EQ(path_of_uri("file:///home/me/my%20game.vl"), "/home/me/my game.vl");
  EXPECT_EQ(path_of_uri("file:///x%2"), "/x%2");
  EXPECT_EQ(path_of_uri("untitled:Untitled-1"), "");
}

TEST(EditorToolsTest, WarningsAreFormattedForCompilersAndEditors) {
  std::vector<Warning> warnings = check_source("print(1 +)\n", CheckOptions{});
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(format_warning("a.vl", warnings[0]),
            "a.vl:1:10: warning: expression expected after '+'");
  EXPECT_EQ(warnings[0].end.column, 11u);
  EXPECT_TRUE(check_source("", CheckOptions{}).empty());
}

}  // namespace
}  // namespace vormel
