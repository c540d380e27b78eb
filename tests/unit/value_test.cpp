#include "interpreter/value.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "support/text_format.hpp"

namespace vormel {
namespace {

Value numbers(std::initializer_list<int64_t> items) {
  ValueList list;
  for (int64_t i : items) list.push_back(Value::number(i));
  return Value::array(std::move(list));
}

TEST(ValueCopyTest, CopiesSharePayloadUntilOneIsChanged) {
  Value original = numbers({1, 2, 3});
  Value copy = original;
  EXPECT_TRUE(copy.shares_payload_with(original));
  EXPECT_FALSE(original.is_unique());

  copy.mutable_array().push_back(Value::number(4));
  EXPECT_FALSE(copy.shares_payload_with(original));
  EXPECT_EQ(display_text(original), "[1, 2, 3]");
  EXPECT_EQ(display_text(copy), "[1, 2, 3, 4]");
  EXPECT_TRUE(original.is_unique());
}

TEST(ValueCopyTest, UniquePayloadIsChangedInPlace) {
  Value text = Value::string("ab");
  const std::string* before = &text.as_string();
  text.mutable_string() += "cd";
  EXPECT_EQ(&text.as_string(), before);
  EXPECT_EQ(text.as_string(), "abcd");
}

TEST(ValueCopyTest, NestedCopyOnWriteLeavesInnerSharedValuesAlone) {
  Value inner = numbers({1});
  Value outer = Value::array({inner, inner});
  Value changed = outer;
  changed.mutable_array()[0].mutable_array().push_back(Value::number(2));
  EXPECT_EQ(display_text(outer), "[[1], [1]]");
  EXPECT_EQ(display_text(changed), "[[1, 2], [1]]");
  EXPECT_EQ(display_text(inner), "[1]");
}

TEST(ValueCopyTest, MovedFromValueIsNull) {
  Value a = Value::string("x");
  Value b = std::move(a);
  EXPECT_TRUE(a.is_null());  // NOLINT(bugprone-use-after-move): the moved-from state is defined
  EXPECT_EQ(b.as_string(), "x");
}

TEST(ValueReleaseTest, DeeplyNestedContainersAreReleasedWithoutDeepRecursion) {
  Value nested = Value::array({});
  for (int i = 0; i < 1'000'000; ++i) nested = Value::array({std::move(nested)});
  Dict holder;
  holder.insert_or_assign("deep", std::move(nested));
  Value d = Value::dict(std::move(holder));
  d = Value::null();  // would overflow the native stack if freed recursively
  SUCCEED();
}

TEST(DictTest, KeepsInsertionOrderAndReplacesInPlace) {
  Dict d;
  d.insert_or_assign("b", Value::number(1));
  d.insert_or_assign("a", Value::number(2));
  d.insert_or_assign("b", Value::number(3));
  EXPECT_EQ(d.size(), 2u);
  EXPECT_EQ(display_text(Value::dict(d)), "{b: 3, a: 2}");
  EXPECT_EQ(d.find("missing"), nullptr);
}

TEST(DictTest, LargeDictsFindEveryKeyAndCopiesKeepTheOrder) {
  Dict d;
  for (int i = 0; i < 100; ++i) d.insert_or_assign("k" + std::to_string(i), Value::number(i));
  d.insert_or_assign("k7", Value::number(-7));
  Dict copy = d;
  for (int i = 0; i < 100; ++i) {
    const Value* found = copy.find("k" + std::to_string(i));
    ASSERT_NE(found, nullptr) << i;
    EXPECT_EQ(found->as_number(), i == 7 ? -7 : i);
  }
  ASSERT_EQ(copy.entries().size(), 100u);
  EXPECT_EQ(copy.entries()[7].key(), "k7");
  EXPECT_EQ(copy.entries()[99].key(), "k99");
}

TEST(ValueRulesTest, ToIntegerTruncatesAndSaturates) {
  EXPECT_EQ(to_integer(Value::number(-5)), -5);
  EXPECT_EQ(to_integer(Value::floating(1.9)), 1);
  EXPECT_EQ(to_integer(Value::floating(-1.9)), -1);
  EXPECT_EQ(to_integer(Value::floating(9223372036854775808.0)),
            std::numeric_limits<int64_t>::max());
  EXPECT_EQ(to_integer(Value::floating(1e300)), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(to_integer(Value::floating(-9223372036854775808.0)),
            std::numeric_limits<int64_t>::min());
  EXPECT_EQ(to_integer(Value::floating(-1e300)), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(to_integer(Value::floating(std::nan(""))), 0);
  EXPECT_EQ(to_integer(Value::floating(std::numeric_limits<double>::infinity())),
            std::numeric_limits<int64_t>::max());
}

TEST(ValueRulesTest, FloatEqualityUsesTheToleranceAndExactInfinities) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(floats_equal(0.1 + 0.2, 0.3));
  EXPECT_TRUE(floats_equal(inf, inf));
  EXPECT_FALSE(floats_equal(inf, -inf));
  EXPECT_FALSE(floats_equal(std::nan(""), std::nan("")));
  EXPECT_FALSE(floats_equal(1.0, 1.0 + 1e-15));
  EXPECT_TRUE(floats_equal(0.0, -0.0));
}

TEST(ValueRulesTest, PatternEqualityNeverCrossesKinds) {
  EXPECT_FALSE(pattern_equals(Value::number(1), Value::floating(1.0)));
  EXPECT_FALSE(pattern_equals(Value::floating(1.0), Value::number(1)));
  EXPECT_TRUE(pattern_equals(Value::null(), Value::null()));
  EXPECT_FALSE(pattern_equals(numbers({1}), numbers({1})));
  EXPECT_FALSE(pattern_equals(Value::string("a"), Value::string("b")));
  EXPECT_TRUE(pattern_equals(Value::boolean(false), Value::boolean(false)));
}

TEST(ValueTextTest, KindNamesAndErrorTexts) {
  EXPECT_STREQ(type_name(Value::builtin_function("http.get")), "builtin function");
  EXPECT_EQ(display_text(Value::builtin_function("http.get")), "<builtin: http.get>");
  EXPECT_EQ(display_text(Value::error("Division by zero")), "Error: Division by zero");
  EXPECT_EQ(debug_text(Value::error("bad \"x\"")), "Error(\"bad \\\"x\\\"\")");
  EXPECT_EQ(debug_text(Value::builtin_function("sdl2.clear")),
            "BuiltinFunction { name: \"sdl2.clear\" }");
  EXPECT_EQ(debug_text(Value::floating(std::nan(""))), "Float(NaN)");
}

TEST(ValueTextTest, SizeIsSixteenBytes) { EXPECT_EQ(sizeof(Value), 16u); }

}  // namespace
}  // namespace vormel

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace vormel {
namespace {

// The debug text of a function shows its whole body, however deep, once per level.
TEST(ValueTextTest, DebugTextOfADeeplyNestedFunctionBodyIsWhole) {
  std::string source = "def f() { ";
  constexpr int kDepth = 20000;
  for (int i = 0; i < kDepth; ++i) source += "while x { ";
  StmtList program = parse_program(tokenize(source));
  ASSERT_EQ(program.size(), 1u);
  const FunctionDefPtr& def = static_cast<const FunctionStmt&>(*program[0]).def;
  size_t depth = 0;  // as deep as the parser got on this thread's stack
  for (const StmtList* level = &def->body; !level->empty(); ++depth)
    level = &static_cast<const WhileStmt&>(*level->front()).body;
  ASSERT_GT(depth, 1000u);
  Value function = Value::function(def);
  std::string text = debug_text(Value::array({function, function}));
  EXPECT_EQ(text.rfind("Array([Function { params: [], body: [While { condition: ", 0), 0u);
  size_t loops = 0;
  for (size_t at = text.find("While {"); at != std::string::npos; at = text.find("While {", at + 1))
    ++loops;
  EXPECT_EQ(loops, 2 * depth);
  EXPECT_EQ(text.find("..."), std::string::npos);
}

// Display and debug text walk nesting without the native stack: a million levels give every
// bracket, on any thread.
TEST(ValueTextTest, DeeplyNestedValuesHaveTheirWholeText) {
  constexpr size_t kDepth = 1000000;
  Value nested = Value::string("core");
  for (size_t i = 0; i < kDepth; ++i) {
    ValueList items;
    items.push_back(std::move(nested));
    nested = Value::array(std::move(items));
  }
  std::string display = display_text(nested);
  EXPECT_EQ(display.size(), 2 * kDepth + 4);
  EXPECT_EQ(display.substr(kDepth - 1, 6), "[core]");
  std::string debug = debug_text(nested);
  EXPECT_EQ(debug.size(),
            kDepth * std::string("Array([])").size() + std::string("String(\"core\")").size());
}

}  // namespace
}  // namespace vormel
