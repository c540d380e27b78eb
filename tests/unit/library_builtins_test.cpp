#include "interpreter/builtins/builtin_handlers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "interpreter/builtins/random_draws.hpp"
#include "interpreter/builtins/random_generator.hpp"

namespace vormel {
namespace {

using Handler = Value (*)(std::span<Value>);
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

Value call(Handler handler, std::vector<Value> args) { return handler(args); }

Value str(const char* text) { return Value::string(text); }
Value num(int64_t v) { return Value::number(v); }
Value real(double v) { return Value::floating(v); }
Value numbers(std::initializer_list<int64_t> items) {
  ValueList list;
  for (int64_t i : items) list.push_back(num(i));
  return Value::array(std::move(list));
}

// The display text, with the kind first so that 2 and 2.0 differ: "float 2".
std::string shown(const Value& v) { return std::string(type_name(v)) + " " + display_text(v); }

// ---- push, pop, reverse ----

TEST(PushTest, AppendsToACopyAndLeavesASharedSourceAlone) {
  Value source = numbers({1, 2});
  Value result = call(builtin_push, {source, num(3)});
  EXPECT_EQ(display_text(result), "[1, 2, 3]");
  EXPECT_EQ(display_text(source), "[1, 2]");
  EXPECT_EQ(shown(call(builtin_push, {num(5), num(3)})), "null null");
  EXPECT_EQ(shown(call(builtin_push, {str("ab"), num(3)})), "null null");
}

TEST(PushTest, AppendsInPlaceWhenOnlyTheCallHoldsTheArray) {
  // What `xs = push(xs, v)` hands over once the variable lets go: growing stays amortised
  // O(1) because the payload is reused rather than copied.
  Value xs = numbers({});
  xs.mutable_array().reserve(64);
  const ValueList* payload = &xs.as_array();
  for (int64_t i = 0; i < 64; ++i) {
    std::vector<Value> args;
    args.push_back(std::move(xs));
    args.push_back(num(i));
    xs = builtin_push(args);
    ASSERT_EQ(&xs.as_array(), payload) << "copied at step " << i;
  }
  EXPECT_EQ(xs.as_array().size(), 64u);
  EXPECT_EQ(xs.as_array()[63].as_number(), 63);
}

TEST(PushTest, PushingAnArrayOntoItselfAppendsItsOldContents) {
  Value xs = numbers({1});
  Value result = call(builtin_push, {xs, xs});
  EXPECT_EQ(display_text(result), "[1, [1]]");
  EXPECT_EQ(display_text(xs), "[1]");
}

TEST(PopTest, YieldsTheLastElementWithoutChangingTheSource) {
  Value source = numbers({1, 2, 3});
  EXPECT_EQ(shown(call(builtin_pop, {source})), "number 3");
  EXPECT_EQ(source.as_array().size(), 3u);
  EXPECT_EQ(shown(call(builtin_pop, {numbers({})})), "null null");
  EXPECT_EQ(shown(call(builtin_pop, {str("abc")})), "null null");
}

TEST(ReverseTest, ReversesSharedAndUnsharedArrays) {
  Value shared = numbers({1, 2, 3, 4});
  EXPECT_EQ(display_text(call(builtin_reverse, {shared})), "[4, 3, 2, 1]");
  EXPECT_EQ(display_text(shared), "[1, 2, 3, 4]");
  EXPECT_EQ(display_text(call(builtin_reverse, {numbers({1, 2, 3})})), "[3, 2, 1]");
  EXPECT_EQ(shown(call(builtin_reverse, {numbers({})})), "array []");
  EXPECT_EQ(shown(call(builtin_reverse, {str("abc")})), "null null");
}

// ---- contains, split, slice, concat ----

TEST(ContainsTest, ComparesDisplayTextsByteForByte) {
  EXPECT_TRUE(call(builtin_contains, {str("hello"), str("")}).as_boolean());
  EXPECT_TRUE(call(builtin_contains, {str(""), str("")}).as_boolean());
  EXPECT_FALSE(call(builtin_contains, {str("abc"), str("abcd")}).as_boolean());
  EXPECT_TRUE(call(builtin_contains, {numbers({10, 20}), num(1)}).as_boolean());
  EXPECT_TRUE(call(builtin_contains, {num(12345), num(34)}).as_boolean());
  EXPECT_TRUE(call(builtin_contains, {numbers({1, 2}), str(",")}).as_boolean());
  EXPECT_TRUE(call(builtin_contains, {real(2.5), str(".5")}).as_boolean());
  EXPECT_TRUE(call(builtin_contains, {Value::null(), str("ul")}).as_boolean());
  EXPECT_FALSE(call(builtin_contains, {str("true"), Value::boolean(false)}).as_boolean());
}

TEST(SplitTest, KeepsEmptyPiecesAndNeverOverlapsMatches) {
  EXPECT_EQ(display_text(call(builtin_split, {str("a,,b,"), str(",")})), "[a, , b, ]");
  EXPECT_EQ(call(builtin_split, {str("a,,b,"), str(",")}).as_array().size(), 4u);
  EXPECT_EQ(call(builtin_split, {str(""), str(",")}).as_array().size(), 1u);
  EXPECT_EQ(display_text(call(builtin_split, {str("aaa"), str("aa")})), "[, a]");
  EXPECT_EQ(display_text(call(builtin_split, {str("x--y--"), str("--")})), "[x, y, ]");
  EXPECT_EQ(display_text(call(builtin_split, {real(1.5), str(".")})), "[1, 5]");
  EXPECT_EQ(display_text(call(builtin_split, {numbers({1, 2}), str(", ")})), "[[1, 2]]");
  EXPECT_EQ(display_text(call(builtin_split, {num(10203), num(0)})), "[1, 2, 3]");
  Value pieces = call(builtin_split, {str("hé·llo"), str("·")});
  EXPECT_EQ(pieces.as_array().at(0).as_string(), "hé");
  EXPECT_EQ(pieces.as_array().at(1).as_string(), "llo");
  for (const Value& piece : pieces.as_array()) EXPECT_TRUE(piece.is(ValueKind::String));
}

TEST(SplitTest, ListIsAllocatedAtItsFinalSize) {
  for (const char* text : {"a b c d e f g h i", "", " ", "no-separator", "  two  spaces  "}) {
    Value pieces = call(builtin_split, {str(text), str(" ")});
    EXPECT_EQ(pieces.as_array().capacity(), pieces.as_array().size()) << text;
  }
  Value pieces = call(builtin_split, {str("aaaaa"), str("aa")});
  EXPECT_EQ(display_text(pieces), "[, , a]");
  EXPECT_EQ(pieces.as_array().capacity(), 3u);
}

TEST(SplitTest, EmptySeparatorSplitsBetweenCodePoints) {
  Value pieces = call(builtin_split, {str("aé😀"), str("")});
  ASSERT_EQ(pieces.as_array().size(), 5u);
  std::vector<std::string> texts;
  for (const Value& piece : pieces.as_array()) texts.push_back(piece.as_string());
  EXPECT_EQ(texts, (std::vector<std::string>{"", "a", "é", "😀", ""}));
  Value empty = call(builtin_split, {str(""), str("")});
  ASSERT_EQ(empty.as_array().size(), 2u);
  EXPECT_EQ(empty.as_array()[0].as_string(), "");
  EXPECT_EQ(empty.as_array()[1].as_string(), "");
}

TEST(SliceTest, CountsCodePointsWithAWrappingCount) {
  auto slice = [](const char* text, Value start, Value end) {
    return shown(call(builtin_slice, {str(text), std::move(start), std::move(end)}));
  };
  EXPECT_EQ(slice("hello", num(1), num(3)), "string el");
  EXPECT_EQ(slice("héllo", num(1), num(2)), "string é");
  EXPECT_EQ(slice("😀😁😂", num(1), num(99)), "string 😁😂");
  EXPECT_EQ(slice("hello", num(5), num(9)), "string ");
  EXPECT_EQ(slice("hello", num(-1), num(3)), "string ");
  EXPECT_EQ(slice("hello", num(kMin), num(kMax)), "string ");
  EXPECT_EQ(slice("hello", num(3), num(1)), "string lo");
  EXPECT_EQ(slice("hello", num(2), num(2)), "string ");
  EXPECT_EQ(slice("hello", num(0), num(kMin)), "string hello");
  // Floats are truncated toward zero and saturated; NaN reads as 0.
  EXPECT_EQ(slice("hello", real(1.9), real(3.9)), "string el");
  EXPECT_EQ(slice("hello", real(kNaN), real(2)), "string he");
  EXPECT_EQ(slice("hello", real(1), real(1e300)), "string ello");
  EXPECT_EQ(slice("hello", real(1e300), real(1)), "string ");
  EXPECT_EQ(slice("hello", str("1"), num(3)), "null null");
  EXPECT_EQ(slice("hello", num(1), Value::null()), "null null");
  EXPECT_EQ(shown(call(builtin_slice, {num(123), num(0), num(1)})), "null null");
}

TEST(ConcatTest, JoinsDisplayTextsOfEveryKind) {
  EXPECT_EQ(shown(call(builtin_concat, {})), "string ");
  EXPECT_EQ(shown(call(builtin_concat, {str("x = "), real(1.5)})), "string x = 1.5");
  EXPECT_EQ(shown(call(builtin_concat, {str("a"), Value::null()})), "string anull");
  EXPECT_EQ(shown(call(builtin_concat, {numbers({1, 2}), Value::boolean(true), real(3.0)})),
            "string [1, 2]true3");
}

// ---- upper, lower ----

TEST(CaseTest, UsesFullMappingsThatMayChangeTheLength) {
  auto upper = [](const char* text) { return call(builtin_upper, {str(text)}).as_string(); };
  auto lower = [](const char* text) { return call(builtin_lower, {str(text)}).as_string(); };
  EXPECT_EQ(upper("straße"), "STRASSE");
  EXPECT_EQ(upper("ﬁx"), "FIX");     // the ligature fi becomes two letters
  EXPECT_EQ(upper("ŉ"), "ʼN");       // U+0149 becomes an apostrophe and N
  EXPECT_EQ(upper("ı"), "I");        // dotless i
  EXPECT_EQ(lower("İ"), "i\u0307");  // the root locale keeps the dot as a combining mark
  EXPECT_EQ(upper("héllo wörld"), "HÉLLO WÖRLD");
  EXPECT_EQ(lower("ÀÉÎ"), "àéî");
  EXPECT_EQ(upper("123 +-*/ 漢字"), "123 +-*/ 漢字");
  EXPECT_EQ(upper(""), "");
}

TEST(CaseTest, CapitalSigmaTakesItsFinalFormAtTheEndOfAWord) {
  auto lower = [](const char* text) { return call(builtin_lower, {str(text)}).as_string(); };
  EXPECT_EQ(lower("ΟΔΟΣ"), "οδος");
  EXPECT_EQ(lower("ΟΔΟΣ ΟΔΟΣ"), "οδος οδος");
  EXPECT_EQ(lower("ΣΑΣ"), "σας");    // no cased letter before the first one
  EXPECT_EQ(lower("Σ"), "σ");        // nothing cased on either side
  EXPECT_EQ(lower("ΑΣ'Α"), "ασ'α");  // the apostrophe is skipped: a cased letter follows
  EXPECT_EQ(lower("ΑΣ'"), "ας'");
}

TEST(CaseTest, NonStringsGiveNull) {
  EXPECT_EQ(shown(call(builtin_upper, {num(5)})), "null null");
  EXPECT_EQ(shown(call(builtin_lower, {numbers({})})), "null null");
}

// ---- math ----

TEST(AbsTest, KeepsTheKindAndWrapsTheMostNegativeNumber) {
  EXPECT_EQ(shown(call(builtin_abs, {num(-5)})), "number 5");
  EXPECT_EQ(shown(call(builtin_abs, {num(kMin)})), "number -9223372036854775808");
  EXPECT_EQ(shown(call(builtin_abs, {real(-2.5)})), "float 2.5");
  Value zero = call(builtin_abs, {real(-0.0)});
  EXPECT_FALSE(std::signbit(zero.as_float()));
  Value nan = call(builtin_abs, {real(-kNaN)});
  EXPECT_TRUE(std::isnan(nan.as_float()));
  EXPECT_FALSE(std::signbit(nan.as_float()));
  EXPECT_EQ(shown(call(builtin_abs, {str("x")})), "null null");
}

TEST(SqrtPowTest, FollowIeeeAndTheMathLibrary) {
  EXPECT_EQ(shown(call(builtin_sqrt, {num(16)})), "float 4");
  EXPECT_TRUE(std::isnan(call(builtin_sqrt, {num(-1)}).as_float()));
  Value negative_zero = call(builtin_sqrt, {real(-0.0)});
  EXPECT_EQ(negative_zero.as_float(), 0.0);
  EXPECT_TRUE(std::signbit(negative_zero.as_float()));
  EXPECT_EQ(shown(call(builtin_sqrt, {str("4")})), "null null");
  EXPECT_EQ(shown(call(builtin_pow, {num(2), num(10)})), "float 1024");
  EXPECT_EQ(shown(call(builtin_pow, {real(kNaN), num(0)})), "float 1");
  EXPECT_EQ(shown(call(builtin_pow, {num(0), num(-1)})), "float inf");
  EXPECT_TRUE(std::isnan(call(builtin_pow, {num(-8), real(1.0 / 3)}).as_float()));
  EXPECT_EQ(shown(call(builtin_pow, {num(2), str("3")})), "null null");
}

TEST(RoundingTest, YieldNumbersBySaturatingIntegerReading) {
  auto apply = [](Handler h, Value v) { return shown(call(h, {std::move(v)})); };
  EXPECT_EQ(apply(builtin_floor, real(-1.5)), "number -2");
  EXPECT_EQ(apply(builtin_ceil, real(1.2)), "number 2");
  EXPECT_EQ(apply(builtin_round, real(0.5)), "number 1");
  EXPECT_EQ(apply(builtin_round, real(-0.5)), "number -1");
  EXPECT_EQ(apply(builtin_round, real(2.5)), "number 3");
  EXPECT_EQ(apply(builtin_round, real(-2.5)), "number -3");
  EXPECT_EQ(apply(builtin_floor, num(7)), "number 7");
  EXPECT_EQ(apply(builtin_floor, real(1e300)), "number 9223372036854775807");
  EXPECT_EQ(apply(builtin_ceil, real(kInf)), "number 9223372036854775807");
  EXPECT_EQ(apply(builtin_floor, real(-kInf)), "number -9223372036854775808");
  EXPECT_EQ(apply(builtin_round, real(kNaN)), "number 0");
  // A Number passes through a double: 2^53 + 1 is not representable and comes back as 2^53.
  EXPECT_EQ(apply(builtin_floor, num(9007199254740993)), "number 9007199254740992");
  EXPECT_EQ(apply(builtin_round, num(kMax)), "number 9223372036854775807");
  EXPECT_EQ(apply(builtin_ceil, str("1")), "null null");
}

TEST(MinMaxTest, SkipNonNumbersAndAlwaysYieldFloats) {
  EXPECT_EQ(shown(call(builtin_max, {num(3)})), "null null");
  EXPECT_EQ(shown(call(builtin_max, {numbers({1, 2})})), "null null");
  EXPECT_EQ(shown(call(builtin_max, {numbers({1, 2}), str("a")})), "null null");
  EXPECT_EQ(shown(call(builtin_max, {num(1), str("a")})), "float 1");
  EXPECT_EQ(shown(call(builtin_max, {str("a"), str("b")})), "null null");
  EXPECT_EQ(shown(call(builtin_min, {num(4), real(2.5), num(9)})), "float 2.5");
  EXPECT_EQ(shown(call(builtin_max, {num(1), num(2)})), "float 2");
  EXPECT_EQ(shown(call(builtin_min, {str("x"), num(7), Value::null(), num(-3)})), "float -3");
}

TEST(MinMaxTest, TiesAndNaNFollowTheScanOrder) {
  // max lets the later of equal values win, min keeps the earlier one.
  EXPECT_TRUE(std::signbit(call(builtin_max, {real(0.0), real(-0.0)}).as_float()));
  EXPECT_FALSE(std::signbit(call(builtin_min, {real(0.0), real(-0.0)}).as_float()));
  EXPECT_FALSE(std::signbit(call(builtin_max, {real(-0.0), real(0.0)}).as_float()));
  EXPECT_TRUE(std::signbit(call(builtin_min, {real(-0.0), real(0.0)}).as_float()));
  EXPECT_TRUE(std::isnan(call(builtin_max, {num(1), real(kNaN)}).as_float()));
  EXPECT_EQ(shown(call(builtin_max, {real(kNaN), num(1)})), "float 1");
  EXPECT_TRUE(std::isnan(call(builtin_min, {real(kNaN), num(1)}).as_float()));
  EXPECT_EQ(shown(call(builtin_min, {num(1), real(kNaN)})), "float 1");
  EXPECT_EQ(shown(call(builtin_max, {real(kNaN), num(1), num(0)})), "float 1");
}

// ---- random ----

// A generator with a fixed seed, so that the distribution checks see the same draws on
// every run.
RandomGenerator fixed_seed_generator() {
  return RandomGenerator([](std::span<uint8_t, RandomGenerator::kSeedBytes> out) {
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(0xA5 ^ (i * 7));
  });
}

TEST(RandomTest, UnitIntervalUsesTheTopFiftyThreeBits) {
  EXPECT_EQ(unit_interval_from_draw(0), 0.0);
  EXPECT_EQ(unit_interval_from_draw(uint64_t{1} << 11), std::ldexp(1.0, -53));
  EXPECT_EQ(unit_interval_from_draw((uint64_t{1} << 11) - 1), 0.0);  // low bits are dropped
  EXPECT_EQ(unit_interval_from_draw(~uint64_t{0}), 1.0 - std::ldexp(1.0, -53));
  EXPECT_EQ(unit_interval_from_draw(uint64_t{1} << 63), 0.5);
}

TEST(RandomTest, RandomAlwaysYieldsAFloatBelowOne) {
  for (int i = 0; i < 1000; ++i) {
    Value v = call(builtin_random, {str("ignored"), num(i)});
    ASSERT_TRUE(v.is(ValueKind::Float));
    ASSERT_GE(v.as_float(), 0.0);
    ASSERT_LT(v.as_float(), 1.0);
  }
}

TEST(RandomRangeTest, FormulaOnChosenDraws) {
  constexpr uint64_t kMinusOne = ~uint64_t{0};
  EXPECT_EQ(range_value_from_draw(10, 3, 0), 10);
  EXPECT_EQ(range_value_from_draw(10, 3, 5), 12);          // 5 rem 3 = 2
  EXPECT_EQ(range_value_from_draw(10, 3, kMinusOne), 9);   // -1 rem 3 = -1
  EXPECT_EQ(range_value_from_draw(10, -3, kMinusOne), 9);  // the sign follows the draw
  EXPECT_EQ(range_value_from_draw(10, -3, 4), 11);
  EXPECT_EQ(range_value_from_draw(1, 9, static_cast<uint64_t>(kMax)), 8);  // rem 9 = 7
  // The most negative draw with a span of -1: no overflow, the remainder is 0.
  EXPECT_EQ(range_value_from_draw(5, -1, uint64_t{1} << 63), 5);
  // low + r wraps.
  EXPECT_EQ(range_value_from_draw(kMax, 10, 3), kMin + 2);
  EXPECT_EQ(range_span(kMin, kMax), -1);
  EXPECT_EQ(range_span(kMax, kMin), 1);
  EXPECT_EQ(range_span(1, 10), 9);
}

TEST(RandomRangeTest, SmallSpanSpreadsOnBothSidesOfLow) {
  // span 3 from low 10: R rem 3 is 0 for a third of the signed draws and each of -2, -1, 1, 2
  // for a sixth, so 10 comes out twice as often as each of 8, 9, 11 and 12.
  RandomGenerator generator = fixed_seed_generator();
  constexpr int kDraws = 120000;
  std::map<int64_t, int> counts;
  for (int i = 0; i < kDraws; ++i)
    ++counts[range_value_from_draw(10, range_span(10, 13), generator.next_u64())];
  ASSERT_EQ(counts.size(), 5u);
  EXPECT_EQ(counts.begin()->first, 8);
  EXPECT_EQ(counts.rbegin()->first, 12);
  for (auto [value, count] : counts) {
    double expected = value == 10 ? kDraws / 3.0 : kDraws / 6.0;
    EXPECT_NEAR(count, expected, expected * 0.03) << "value " << value;
  }
}

TEST(RandomRangeTest, BuiltinStaysWithinItsBounds) {
  for (int i = 0; i < 2000; ++i) {
    EXPECT_EQ(call(builtin_random_range, {num(0), num(1)}).as_number(), 0);
    int64_t two = call(builtin_random_range, {num(0), num(2)}).as_number();
    ASSERT_TRUE(two >= -1 && two <= 1) << two;
    Value v = call(builtin_random_range, {num(1), num(10)});
    ASSERT_TRUE(v.is(ValueKind::Number));
    ASSERT_TRUE(v.as_number() >= -7 && v.as_number() <= 9) << v.as_number();
    int64_t down = call(builtin_random_range, {num(5), num(2)}).as_number();
    ASSERT_TRUE(down >= 3 && down <= 7) << down;
    int64_t truncated = call(builtin_random_range, {real(0.9), real(1.9)}).as_number();
    ASSERT_EQ(truncated, 0);  // the bounds read as 0 and 1
  }
}

TEST(RandomRangeTest, UnusableOrEqualBoundsGiveNull) {
  EXPECT_EQ(shown(call(builtin_random_range, {str("a"), num(2)})), "null null");
  EXPECT_EQ(shown(call(builtin_random_range, {num(1), Value::null()})), "null null");
  EXPECT_EQ(shown(call(builtin_random_range, {num(4), num(4)})), "null null");
  EXPECT_EQ(shown(call(builtin_random_range, {real(4.2), num(4)})), "null null");
}

}  // namespace
}  // namespace vormel
