// The checker's name logic where golden output cannot show the reason: how far apart two
// names are, which candidate is offered, and that a module's reader is only asked once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checker/check.hpp"
#include "checker/closest_name.hpp"

namespace vormel {
namespace {

TEST(CheckerNamesTest, EditDistanceCountsEachSlipOnce) {
  EXPECT_EQ(edit_distance("return", "return", 2), 0u);
  EXPECT_EQ(edit_distance("retrun", "return", 2), 1u);  // neighbours swapped
  EXPECT_EQ(edit_distance("playr_x", "player_x", 2), 1u);
  EXPECT_EQ(edit_distance("", "ab", 2), 2u);
  EXPECT_EQ(edit_distance("abc", "xyz", 2), 3u);     // capped at limit + 1
  EXPECT_EQ(edit_distance("a", "abcdefgh", 2), 3u);  // lengths alone rule it out
}

TEST(CheckerNamesTest, ClosestNamePrefersFewestEditsThenTheEarlierCandidate) {
  std::vector<std::string> names = {"player_y", "player_x", "speed", "n"};
  EXPECT_EQ(closest_name("playr_x", names), "player_x");
  EXPECT_EQ(closest_name("player_z", names), "player_y");  // a tie: the first binding wins
  EXPECT_EQ(closest_name("sped", names), "speed");
  EXPECT_EQ(closest_name("nil", names), std::nullopt);    // two of three letters changed
  EXPECT_EQ(closest_name("speed", names), std::nullopt);  // the name itself is no suggestion
  EXPECT_EQ(closest_name("m", names), std::nullopt);
  EXPECT_EQ(closest_name("x", {}), std::nullopt);
}

TEST(CheckerNamesTest, SuggesterRemembersEachNameAndStopsPastItsBudget) {
  // Each new name costs one comparison with each of the two candidates.
  NameSuggester suggester({"speed", "height"}, 4);
  EXPECT_EQ(suggester.suggest("sped"), "speed");
  EXPECT_EQ(suggester.suggest("heigth"), "height");
  EXPECT_EQ(suggester.suggest("sped"), "speed");        // remembered, no new work
  EXPECT_EQ(suggester.suggest("spede"), std::nullopt);  // the budget is spent
}

TEST(CheckerNamesTest, ModuleFileIsReadOnceForAllChecks) {
  int reads = 0;
  CheckOptions options;
  options.read_module = [&reads](const std::string&) -> std::optional<std::string> {
    ++reads;
    return "def f(a) { return shapes.g(a) }\nlet inner = 1\n";
  };
  std::vector<Warning> warnings =
      check_source("use shapes as s\nuse shapes { f }\nprint(f(1, 2), inner, s.f(1))\n", options);
  EXPECT_EQ(reads, 1);
  ASSERT_EQ(warnings.size(), 3u);
  EXPECT_EQ(warnings[0].message,
            "shapes.vl calls 'shapes.g' by its module name, which this import does not bind");
  EXPECT_EQ(warnings[2].message, "'f' takes 1 argument but is called with 2");
}

TEST(CheckerNamesTest, OwnModuleNameIsKnownOnlyWhenGiven) {
  std::string source = "def square(x) { return x * x }\ndef area(r) { return shapes.square(r) }\n";
  EXPECT_EQ(check_source(source, CheckOptions{}).size(), 1u);
  CheckOptions options;
  options.module_name = "shapes";
  EXPECT_TRUE(check_source(source, options).empty());
  // At the top level the module is being loaded, and nothing binds its name yet.
  EXPECT_EQ(check_source(source + "shapes.square(2)\n", options).size(), 1u);
}

}  // namespace
}  // namespace vormel
