// The language server's navigation where the scripted session cannot look closely: what each
// name token is taken for, method-style calls and nesting in signature help, refusals that
// need a module, URIs of module files, and defs nested deeper than any outline shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "lsp/definitions.hpp"
#include "lsp/document_symbols.hpp"
#include "lsp/module_files.hpp"
#include "lsp/name_index.hpp"
#include "lsp/protocol_json.hpp"
#include "lsp/rename.hpp"
#include "lsp/signature_help.hpp"

namespace vormel {
namespace {

using nlohmann::json;

std::vector<std::pair<std::string, NameRole>> roles_of(std::string_view text) {
  std::vector<std::pair<std::string, NameRole>> roles;
  for (const NameOccurrence& o : index_names(text).names) roles.emplace_back(o.name, o.role);
  return roles;
}

TEST(LspNavigationTest, EachNameTokenIsTakenForWhatItDoes) {
  using R = NameRole;
  EXPECT_EQ(roles_of("use m { a, b }\nuse sdl2 as g\ng.clear_screen()\nm.f(a)\n"),
            (std::vector<std::pair<std::string, NameRole>>{{"m", R::Module},
                                                           {"a", R::Import},
                                                           {"b", R::Import},
                                                           {"sdl2", R::Module},
                                                           {"g", R::Module},
                                                           {"g", R::ModuleQualifier},
                                                           {"clear_screen", R::ModuleFunction},
                                                           {"m", R::Use},
                                                           {"a", R::Use}}));
  // Members after a dot and dictionary keys are no names; a range's end is; a method-style
  // call on a variable that is no module reads the variable.
  EXPECT_EQ(roles_of("let d = {k: x, j: 1..n}\nd.k\nxs.len()\n\"a\" # b\n/* c */"),
            (std::vector<std::pair<std::string, NameRole>>{
                {"d", R::Binding}, {"x", R::Use}, {"n", R::Use}, {"d", R::Use}, {"xs", R::Use}}));
  EXPECT_TRUE(roles_of(".vl.x").empty());  // a member with no qualifier before it
  EXPECT_EQ(roles_of("def f(a b) { for i in a { try { y = i } catch e { z += e } } }"),
            (std::vector<std::pair<std::string, NameRole>>{{"f", R::FunctionName},
                                                           {"a", R::Parameter},
                                                           {"b", R::Parameter},
                                                           {"i", R::Binding},
                                                           {"a", R::Use},
                                                           {"y", R::Binding},
                                                           {"i", R::Use},
                                                           {"e", R::Binding},
                                                           {"z", R::Use},
                                                           {"e", R::Use}}));
}

TEST(LspNavigationTest, DefinitionsPreferTheDefAndFallBackToTheImport) {
  std::string text = "let f = 1\ndef f() { }\nuse m { g }\ng()\n";
  json def = find_definition("untitled:a", text, text.find("f = 1"));
  EXPECT_EQ(def["range"]["start"], json({{"line", 1}, {"character", 4}}));
  // Without a module file to look in, the import is the closest definition there is.
  def = find_definition("untitled:a", text, text.rfind('g'));
  EXPECT_EQ(def["range"]["start"], json({{"line", 2}, {"character", 8}}));
  EXPECT_TRUE(find_definition("untitled:a", text, text.find("use")).is_null());

  // With the module beside the document, an imported name goes to its def there.
  std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                 ("vormel_lsp_navigation_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "m.vl") << "# m\ndef g() { }\n";
  std::string uri = "file://" + (folder / "main.vl").string();
  def = find_definition(uri, text, text.rfind('g'));
  EXPECT_EQ(def["uri"], "file://" + (folder / "m.vl").string());
  EXPECT_EQ(def["range"]["start"], json({{"line", 1}, {"character", 4}}));
  std::filesystem::remove_all(folder);
}

TEST(LspNavigationTest, ModuleFilesAreFoundBesideTheDocument) {
  EXPECT_EQ(module_uri("file:///home/me/my%20game.vl", "shapes"), "file:///home/me/shapes.vl");
  EXPECT_EQ(module_uri("file:///g.vl", "s\xc3\xa9"), "file:///s%C3%A9.vl");
  EXPECT_EQ(module_uri("untitled:Untitled-1", "shapes"), "");
  EXPECT_FALSE(read_module_beside("untitled:Untitled-1", "shapes"));
}

std::pair<std::string, json> signature_at_end(std::string_view text) {
  json help = signature_help("untitled:a", text, text.size());
  if (help.is_null()) return {"", nullptr};
  return {help["signatures"][0]["label"], help["activeParameter"]};
}

TEST(LspNavigationTest, SignatureHelpCountsArgumentsAtTheCallsOwnDepth) {
  EXPECT_EQ(signature_at_end("contains(\"a, (b\", [1, 2], {k: (1, 2)}"),
            std::make_pair(std::string("contains(haystack, needle)"), json(2)));
  // A method-style call passes its receiver as the first argument.
  EXPECT_EQ(signature_at_end("[1, 2].contains("),
            std::make_pair(std::string("contains(haystack, needle)"), json(1)));
  EXPECT_EQ(signature_at_end("len(x) # (, ("), std::make_pair(std::string(""), json(nullptr)));
  EXPECT_EQ(signature_at_end("def len(a, b) { }\nlen(1, "),
            std::make_pair(std::string("len(value)"), json(1)));  // the built-in wins
  EXPECT_EQ(signature_at_end("use nowhere\nnowhere.f("), std::make_pair(std::string(""), json()));
  // Parameter labels are UTF-16 offsets into the label.
  std::string text = "def f(at\xc3\xa9, x\xf0\x9d\x91\xa5) { }\nf(1, ";
  json help = signature_help("untitled:a", text, text.size());
  EXPECT_EQ(help["signatures"][0]["parameters"][1]["label"], json({7, 10}));
}

TEST(LspNavigationTest, RenameRefusesNamesThatComeFromAModule) {
  std::string text = "use shapes { square }\nsquare(2)\nlet n = 1\n";
  EXPECT_THROW(prepare_rename(text, text.rfind("square")), RequestRefused);
  EXPECT_THROW(rename_name("untitled:a", text, text.find("n ="), "sdl2"), RequestRefused);
  json edit = rename_name("untitled:a", text, text.find("n ="), "count");
  EXPECT_EQ(edit["changes"]["untitled:a"].size(), 1u);
}

TEST(LspNavigationTest, OutlinesNestFunctionsAndKeepTheFirstBindingOfAGlobal) {
  json symbols = document_symbols("x = 1\ndef f() {\n  def g(a) { }\n}\nlet x = 2\n");
  ASSERT_EQ(symbols.size(), 2u);
  EXPECT_EQ(symbols[0]["name"], "x");
  EXPECT_EQ(symbols[1]["children"][0]["name"], "g");
  EXPECT_EQ(symbols[1]["children"][0]["detail"], "(a)");
  EXPECT_EQ(symbols[1]["range"]["end"], json({{"line", 3}, {"character", 1}}));
}

TEST(LspNavigationTest, DeeplyNestedDefsGiveAShallowOutline) {
  std::string text;
  constexpr int kDepth = 3000;
  for (int i = 0; i < kDepth; ++i) text += "def f" + std::to_string(i) + "(a, b) {\n";
  text += "f1(1, ";
  NameIndex index = index_names(text);
  // How deep the parser goes depends on the native stack; surely past the outline's depth.
  ASSERT_NE(index.function("f100"), nullptr);
  json symbols = document_symbols(text);
  size_t depth = 0;
  for (const json* level = &symbols; !level->empty(); level = &(*level)[0]["children"]) ++depth;
  EXPECT_EQ(depth, 64u);
  EXPECT_EQ(signature_at_end(text).first, "f1(a, b)");
}

}  // namespace
}  // namespace vormel
