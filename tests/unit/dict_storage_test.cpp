// Dict storage: entries inline while few, on the heap when more, indexed past the threshold.
// Every case is checked against a plain model (a list of key/value pairs in insertion order),
// at sizes on both sides of each storage change, through copies, moves and assignments.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "interpreter/dict.hpp"
#include "interpreter/value.hpp"

namespace vormel {
namespace {

using Model = std::vector<std::pair<std::string, int64_t>>;

void put(Model& model, const std::string& key, int64_t value) {
  for (auto& [k, v] : model) {
    if (k == key) {
      v = value;
      return;
    }
  }
  model.emplace_back(key, value);
}

// The dict holds exactly the model: same entries in the same order, each found by both
// lookups, and keys the model lacks are not found.
void expect_same(const Dict& dict, const Model& model, const std::vector<std::string>& absent) {
  ASSERT_EQ(dict.size(), model.size());
  ASSERT_EQ(dict.entries().size(), model.size());
  for (size_t i = 0; i < model.size(); ++i) {
    const std::string_view key = dict.entries()[i].key();
    const Value& value = dict.entries()[i].value();
    ASSERT_EQ(key, model[i].first) << "position " << i;
    ASSERT_EQ(value.as_number(), model[i].second) << "key " << key;
    const Value* by_text = dict.find(model[i].first);
    const Value* by_key = dict.find(Dict::Key(model[i].first));
    ASSERT_EQ(by_text, &value) << "key " << key;
    ASSERT_EQ(by_key, &value) << "key " << key;
  }
  for (const std::string& key : absent) {
    EXPECT_EQ(dict.find(key), nullptr) << "absent key " << testing::PrintToString(key);
    EXPECT_EQ(dict.find(Dict::Key(key)), nullptr) << "absent key " << testing::PrintToString(key);
  }
}

std::string numbered(size_t i) { return "key" + std::to_string(i); }

TEST(DictStorageTest, OrderAndReplacementHoldAtEverySize) {
  const size_t sizes_past_index = Dict::kIndexThreshold * 4;
  for (size_t size = 0; size <= sizes_past_index; ++size) {
    Dict dict;
    Model model;
    for (size_t i = 0; i < size; ++i) {
      // Inserted in a scrambled order so that the listing order is not the sorted one (37 has
      // no factor in common with any size here, so every key comes once).
      const std::string key = numbered((i * 37) % size);
      dict.insert_or_assign(key, Value::number(static_cast<int64_t>(i)));
      put(model, key, static_cast<int64_t>(i));
    }
    // Replacing every other key keeps each in its place.
    for (size_t i = 0; i < model.size(); i += 2) {
      dict.insert_or_assign(model[i].first, Value::number(-1 - static_cast<int64_t>(i)));
      put(model, model[i].first, -1 - static_cast<int64_t>(i));
    }
    SCOPED_TRACE("size " + std::to_string(size));
    expect_same(dict, model, {numbered(size), "", "key", "key00"});
    EXPECT_EQ(dict.entries_inline(), size <= Dict::kInlineEntries);
    EXPECT_EQ(dict.has_index(), size > Dict::kIndexThreshold);
  }
}

TEST(DictStorageTest, CopiesAndAssignmentsAcrossStorageKinds) {
  const std::vector<size_t> sizes = {0,
                                     1,
                                     Dict::kInlineEntries,
                                     Dict::kInlineEntries + 1,
                                     Dict::kIndexThreshold,
                                     Dict::kIndexThreshold + 1,
                                     100};
  auto build = [](size_t size, Model& model) {
    Dict dict;
    for (size_t i = 0; i < size; ++i) {
      dict.insert_or_assign(numbered(size - i), Value::number(static_cast<int64_t>(i)));
      put(model, numbered(size - i), static_cast<int64_t>(i));
    }
    return dict;
  };
  for (size_t from : sizes) {
    for (size_t to : sizes) {
      SCOPED_TRACE("from " + std::to_string(from) + " to " + std::to_string(to));
      Model source_model, target_model;
      const Dict source = build(from, source_model);

      Dict copied = source;
      expect_same(copied, source_model, {numbered(0)});

      Dict assigned = build(to, target_model);
      assigned = source;
      expect_same(assigned, source_model, {numbered(0)});

      Dict moved_into = build(to, target_model);
      Dict temporary = source;
      moved_into = std::move(temporary);
      expect_same(moved_into, source_model, {numbered(0)});
      // The moved-from dict is empty and takes new entries like a fresh one.
      EXPECT_TRUE(temporary.empty());  // NOLINT(bugprone-use-after-move)
      temporary.insert_or_assign("again", Value::number(1));
      expect_same(temporary, {{"again", 1}}, {numbered(1)});

      // A copy grows on its own: the source is left as it was.
      Model grown_model = source_model;
      for (size_t i = 0; i < 12; ++i) {
        copied.insert_or_assign("extra" + std::to_string(i), Value::number(1000));
        put(grown_model, "extra" + std::to_string(i), 1000);
      }
      expect_same(copied, grown_model, {numbered(0)});
      expect_same(source, source_model, {"extra0"});
    }
  }
}

TEST(DictStorageTest, SelfAssignmentKeepsEverything) {
  for (size_t size : {size_t{2}, size_t{30}}) {
    Dict dict;
    Model model;
    for (size_t i = 0; i < size; ++i) {
      dict.insert_or_assign(numbered(i), Value::number(static_cast<int64_t>(i)));
      put(model, numbered(i), static_cast<int64_t>(i));
    }
    Dict& same = dict;
    dict = same;
    expect_same(dict, model, {numbered(size)});
    dict = std::move(same);
    expect_same(dict, model, {numbered(size)});
  }
}

TEST(DictStorageTest, ValueCopiesAreIndependentAfterAChange) {
  for (size_t size : {size_t{3}, Dict::kInlineEntries + 2, Dict::kIndexThreshold + 3}) {
    SCOPED_TRACE("size " + std::to_string(size));
    Dict dict;
    Model model;
    for (size_t i = 0; i < size; ++i) {
      dict.insert_or_assign(numbered(i), Value::number(static_cast<int64_t>(i)));
      put(model, numbered(i), static_cast<int64_t>(i));
    }
    Value original = Value::dict(std::move(dict));
    Value copy = original;
    ASSERT_TRUE(copy.shares_payload_with(original));
    copy.mutable_dict().insert_or_assign(numbered(0), Value::number(-5));
    copy.mutable_dict().insert_or_assign("new", Value::number(7));
    EXPECT_FALSE(copy.shares_payload_with(original));
    expect_same(original.as_dict(), model, {"new"});
    Model changed = model;
    put(changed, numbered(0), -5);
    put(changed, "new", 7);
    expect_same(copy.as_dict(), changed, {});
    // A dict held once is changed in place.
    const Dict* before = &copy.as_dict();
    copy.mutable_dict().insert_or_assign("more", Value::number(8));
    EXPECT_EQ(&copy.as_dict(), before);
  }
}

TEST(DictStorageTest, VeryManyKeys) {
  constexpr size_t kCount = 100'000;
  Dict dict;
  for (size_t i = 0; i < kCount; ++i)
    dict.insert_or_assign(numbered(i), Value::number(static_cast<int64_t>(i)));
  for (size_t i = 0; i < kCount; i += 3)
    dict.insert_or_assign(numbered(i), Value::number(-static_cast<int64_t>(i)));
  ASSERT_EQ(dict.size(), kCount);
  for (size_t i = 0; i < kCount; ++i) {
    const std::string_view key = dict.entries()[i].key();
    const Value& value = dict.entries()[i].value();
    ASSERT_EQ(key, numbered(i));
    ASSERT_EQ(value.as_number(), i % 3 == 0 ? -static_cast<int64_t>(i) : static_cast<int64_t>(i));
    ASSERT_EQ(dict.find(key), &value);
  }
  EXPECT_EQ(dict.find(numbered(kCount)), nullptr);
  const Dict copy = dict;
  for (size_t i = 0; i < kCount; i += 997)
    EXPECT_EQ(copy.find(numbered(i)), &copy.entries()[i].value());
}

// Keys whose stored forms could be confused: empty, NUL bytes, lengths on both sides of each
// word and of the inline limit (15 bytes), shared starts and ends, bytes with the high bit set
// (a last byte of 0xff is the long keys' mark), and keys too long for a string's own buffer.
std::vector<std::string> awkward_keys() {
  using namespace std::string_literals;
  std::vector<std::string> keys = {
      ""s,        "\0"s,       "\0\0"s,     "a"s,         "a\0"s,       "\0a"s,      "ab"s,
      "ba"s,      "abc"s,      "acb"s,      "abcd"s,      "abdc"s,      "abcdefg"s,  "abcdefh"s,
      "bbcdefg"s, "abcdefgh"s, "abcdefgi"s, "abcdefg\0"s, "\xff"s,      "\xff\xff"s, "\x80\x01"s,
      "x\0y\0z"s, "x\0y\0w"s,  "1234567"s,  "12345678"s,  "123456789"s,
  };
  const std::string fifteen = "123456789abcdef";
  keys.insert(keys.end(),
              {fifteen, "123456789abcdeg", "023456789abcdef", fifteen + '\0', fifteen + 'g',
               fifteen + 'h', "h\xc3\xa9llo w\xc3\xb6rld", std::string(15, '\xff'),
               std::string(16, '\xff'), std::string(16, '\0')});
  const std::string long_start(300, 'q');
  keys.push_back(long_start);
  keys.push_back(long_start + "a");
  keys.push_back(long_start + "b");
  keys.push_back("a" + long_start);
  keys.push_back(long_start.substr(0, 150) + "m" + long_start.substr(151));
  std::string nul_long(40, '\0');
  keys.push_back(nul_long);
  nul_long[20] = 'z';
  keys.push_back(nul_long);
  return keys;
}

TEST(DictStorageTest, AwkwardKeysAreTellApartInSmallAndIndexedDicts) {
  const std::vector<std::string> keys = awkward_keys();
  // Each key with each other key as the only neighbour (small dicts), then all together.
  for (size_t i = 0; i < keys.size(); ++i) {
    for (size_t j = 0; j < keys.size(); ++j) {
      if (i == j) continue;
      Dict dict;
      dict.insert_or_assign(keys[i], Value::number(1));
      std::vector<std::string> others;
      for (size_t k = 0; k < keys.size(); ++k)
        if (k != i) others.push_back(keys[k]);
      expect_same(dict, {{keys[i], 1}}, others);
      dict.insert_or_assign(keys[j], Value::number(2));
      dict.insert_or_assign(keys[i], Value::number(3));
      expect_same(dict, {{keys[i], 3}, {keys[j], 2}}, {});
    }
  }
  Dict all;
  Model model;
  for (size_t i = 0; i < keys.size(); ++i) {
    all.insert_or_assign(keys[i], Value::number(static_cast<int64_t>(i)));
    put(model, keys[i], static_cast<int64_t>(i));
  }
  ASSERT_TRUE(all.has_index());
  expect_same(all, model, {"abcdef", std::string(3, '\0'), std::string(300, 'r')});
}

TEST(DictStorageTest, CopiesKeepLongKeysWhenTheSourceIsGone) {
  for (size_t size : {size_t{2}, Dict::kIndexThreshold + 1}) {
    auto source = std::make_unique<Dict>();
    Model model;
    for (size_t i = 0; i < size; ++i) {
      source->insert_or_assign(std::string(40, 'k') + numbered(i), Value::number(1));
      put(model, std::string(40, 'k') + numbered(i), 1);
    }
    const Dict copy(*source);
    source.reset();
    expect_same(copy, model, {std::string(40, 'k')});
  }
}

TEST(DictStorageTest, RandomShortKeysMatchTheModel) {
  // Short keys over a tiny alphabet (with NUL) collide in every way a tag could mishandle.
  std::mt19937 random(12345);
  const std::string alphabet("ab\0\xff", 4);
  for (int round = 0; round < 200; ++round) {
    Dict dict;
    Model model;
    std::vector<std::string> tried;
    const int inserts = static_cast<int>(random() % 40);
    for (int i = 0; i < inserts; ++i) {
      std::string key;
      const size_t length = random() % 10;
      for (size_t c = 0; c < length; ++c) key += alphabet[random() % alphabet.size()];
      dict.insert_or_assign(key, Value::number(i));
      put(model, key, i);
      tried.push_back(key);
    }
    std::vector<std::string> absent;
    for (int i = 0; i < 20; ++i) {
      std::string key;
      const size_t length = random() % 10;
      for (size_t c = 0; c < length; ++c) key += alphabet[random() % alphabet.size()];
      bool present = false;
      for (const auto& entry : model) present = present || entry.first == key;
      if (!present) absent.push_back(key);
    }
    SCOPED_TRACE("round " + std::to_string(round));
    expect_same(dict, model, absent);
    expect_same(Dict(dict), model, absent);
  }
}

TEST(DictStorageTest, ReservedRoomChangesNothingVisible) {
  Dict dict;
  dict.reserve(3);
  EXPECT_TRUE(dict.entries_inline());
  dict.reserve(50);
  EXPECT_FALSE(dict.entries_inline());
  Model model;
  for (size_t i = 0; i < 20; ++i) {
    dict.insert_or_assign(numbered(20 - i), Value::number(static_cast<int64_t>(i)));
    put(model, numbered(20 - i), static_cast<int64_t>(i));
  }
  expect_same(dict, model, {numbered(0)});
  dict.reserve(1);  // never shrinks
  expect_same(dict, model, {numbered(0)});
}

TEST(DictStorageTest, DisplayTextListsEntriesInInsertionOrder) {
  Dict dict;
  for (const char* key : {"zeta", "alpha", "mid", "b", "c", "d", "e", "f", "g", "h"})
    dict.insert_or_assign(key, Value::string(key));
  dict.insert_or_assign("mid", Value::number(0));
  EXPECT_EQ(display_text(Value::dict(dict)),
            "{zeta: zeta, alpha: alpha, mid: 0, b: b, c: c, d: d, e: e, f: f, g: g, h: h}");
}

}  // namespace
}  // namespace vormel
