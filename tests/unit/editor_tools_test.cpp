// Parts of the editor tools that their end-to-end tests cannot pin down: every function the
// interpreter exports describes itself, hover shows those descriptions, and positions
// convert between UTF-8 offsets and the protocol's UTF-16 columns.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "checker/check.hpp"
#include "checker/library_names.hpp"
#include "interpreter/builtins/builtins.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/native_modules.hpp"
#include "lsp/json_rpc.hpp"
#include "lsp/language_server.hpp"
#include "lsp/text_positions.hpp"

namespace vormel {
namespace {

void expect_described(const NativeFunction& function) {
  EXPECT_TRUE(function.signature.starts_with(std::string(function.name) + "(")) << function.name;
  EXPECT_TRUE(function.signature.ends_with(")")) << function.name;
  EXPECT_FALSE(function.summary.empty()) << function.name;
  EXPECT_EQ(function.summary.find('\n'), std::string_view::npos) << function.name;
}

TEST(EditorToolsTest, EveryLibraryFunctionHasASignatureAndASummary) {
  ASSERT_EQ(builtin_function_names().size(), 39u);
  for (const NativeFunction& function : builtin_functions()) {
    expect_described(function);
    EXPECT_TRUE(function.too_few.empty()) << function.name;  // built-ins yield Null
  }
  EXPECT_EQ(module_function_names("sdl2").size(), 21u);
  EXPECT_EQ(module_function_names("http").size(), 8u);
  for (const NativeModule* module : native_modules())
    for (const NativeFunction& function : module->functions) {
      expect_described(function);
      EXPECT_EQ(function.too_few.empty(), function.min_args == 0) << function.name;
    }
  // The library's functions check their argument counts against the signature the tools
  // show, so the two must agree.
  for (const NativeModule* module : library_modules())
    for (const NativeFunction& function : module->functions) {
      expect_described(function);
      EXPECT_LE(function.min_args, signature_max_args(function.signature)) << function.name;
    }
  EXPECT_EQ(describe_library_function("sdl2.draw_line")->signature,
            "sdl2.draw_line(x1, y1, x2, y2)");
  EXPECT_EQ(describe_library_function("math.sin")->signature, "math.sin(x)");
  EXPECT_FALSE(describe_library_function("nothing"));
  EXPECT_FALSE(describe_library_function("sdl2.nothing"));
  EXPECT_FALSE(describe_library_function("mathlib.len"));
  EXPECT_TRUE(module_function_names("mathlib").empty());
}

// Runs the server over `requests` (after initialize) and answers the result of each.
std::vector<nlohmann::json> serve(const std::vector<nlohmann::json>& requests) {
  std::stringstream in;
  write_message(in, {{"jsonrpc", "2.0"}, {"id", 0}, {"method", "initialize"}, {"params", {}}});
  for (const nlohmann::json& request : requests) write_message(in, request);
  std::stringstream out;
  LanguageServer(in, out).run();
  std::vector<nlohmann::json> results;
  std::string body;
  while (read_message(out, body) == ReadResult::Message) {
    nlohmann::json message = nlohmann::json::parse(body);
    if (message.contains("id") && message["id"] != 0) results.push_back(message["result"]);
  }
  return results;
}

TEST(EditorToolsTest, HoverTextComesFromTheFunctionTables) {
  const std::string uri = "untitled:hover";
  const std::string text = "use sdl2\nlet n = random_range(1, 10)\nsdl2.fill_circle(1, 2, 3)\n";
  auto hover_at = [&](int id, int line, int character) {
    return nlohmann::json{{"jsonrpc", "2.0"},
                          {"id", id},
                          {"method", "textDocument/hover"},
                          {"params",
                           {{"textDocument", {{"uri", uri}}},
                            {"position", {{"line", line}, {"character", character}}}}}};
  };
  std::vector<nlohmann::json> results =
      serve({{{"jsonrpc", "2.0"},
              {"method", "textDocument/didOpen"},
              {"params", {{"textDocument", {{"uri", uri}, {"text", text}}}}}},
             hover_at(1, 1, 10),
             hover_at(2, 2, 8)});
  ASSERT_EQ(results.size(), 2u);
  const NativeFunction& random_range = builtin_functions()[find_builtin("random_range")];
  EXPECT_EQ(results[0]["contents"]["value"], "```vormel\n" + std::string(random_range.signature) +
                                                 "\n```\n" + std::string(random_range.summary) +
                                                 " (built-in)");
  EXPECT_NE(random_range.summary.find("(1, 10) gives -7 to 9"), std::string_view::npos);
  const NativeFunction* fill_circle =
      find_native_function(*find_native_module("sdl2"), "fill_circle");
  ASSERT_NE(fill_circle, nullptr);
  EXPECT_EQ(results[1]["contents"]["value"], "```vormel\nsdl2." +
                                                 std::string(fill_circle->signature) + "\n```\n" +
                                                 std::string(fill_circle->summary));
}

TEST(EditorToolsTest, ProtocolPositionsCountUtf16Units) {
  std::string_view text = "ab\né😀x\n";
  // x is byte 9 (é two bytes, 😀 four), column 3 in UTF-16 units.
  EXPECT_EQ(to_lsp_position(text, 9).line, 1u);
  EXPECT_EQ(to_lsp_position(text, 9).character, 3u);
  EXPECT_EQ(to_lsp_position(text, 0).line, 0u);  // the start, even with line breaks after it
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
