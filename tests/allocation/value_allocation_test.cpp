// What values cost in allocations: a small dict is one block, freed payload blocks are reused
// up to a bound (past it they go back), a thread gives back what it kept when it ends, and a
// copy that runs out of memory midway leaves nothing behind.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "interpreter/dict.hpp"
#include "interpreter/value.hpp"
#include "support/address_sanitizer.hpp"

namespace {

// Counted on every thread; the tests read them only while a single thread allocates.
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
std::atomic<long> g_frees{0};
std::atomic<long> g_fail_after{-1};  // allocations left before one fails; -1: none fails

void* counted_allocation(std::size_t size) {
  if (g_counting) {
    if (g_fail_after >= 0 && g_fail_after-- == 0) return nullptr;
    ++g_allocations;
  }
  return std::malloc(size == 0 ? 1 : size);
}
void counted_free(void* p) {
  if (p != nullptr && g_counting) ++g_frees;
  std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* p = counted_allocation(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return counted_allocation(size);
}
void operator delete(void* p) noexcept { counted_free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { counted_free(p); }
void operator delete(void* p, std::size_t) noexcept { counted_free(p); }

namespace vormel {
namespace {

struct Counting {
  Counting() {
    g_allocations = 0;
    g_frees = 0;
    g_counting = true;
  }
  ~Counting() {
    g_counting = false;
    g_fail_after = -1;
  }
  long live() const { return g_allocations - g_frees; }
};

Value small_record(int64_t i) {
  Dict dict;
  dict.insert_or_assign("id", Value::number(i));
  dict.insert_or_assign("age", Value::number(i % 60));
  dict.insert_or_assign("score", Value::number(i * 3));
  dict.insert_or_assign("group", Value::number(i % 7));
  return Value::dict(std::move(dict));
}

TEST(ValueAllocationTest, SmallDictIsASingleBlock) {
  Counting counting;
  Dict dict;
  dict.insert_or_assign("id", Value::number(1));
  dict.insert_or_assign("age", Value::number(2));
  dict.insert_or_assign("score", Value::number(3));
  dict.insert_or_assign("group", Value::number(4));
  EXPECT_EQ(g_allocations, 0) << "entries and short keys live in the dict";
  Value record = Value::dict(std::move(dict));
  EXPECT_LE(g_allocations, 1);
  EXPECT_EQ(record.as_dict().find("score")->as_number(), 3);
}

// Under the address sanitizer freed blocks go straight back: there only nothing stays live.
TEST(ValueAllocationTest, SteadyBuildingAndDroppingReusesBlocks) {
  auto round = [] {
    std::vector<Value> kept;
    for (int64_t i = 0; i < 200; ++i) {
      kept.push_back(small_record(i));
      kept.push_back(Value::string("word"));
      kept.push_back(Value::array({}));
    }
  };
  round();  // fills the lists of freed blocks
  Counting counting;
  for (int i = 0; i < 50; ++i) round();
  // Only the vector that holds them grows; no payload reaches the allocator.
  if (!kAddressSanitizer) {
    EXPECT_LE(g_allocations, 50 * 12);
  }
  EXPECT_EQ(counting.live(), 0);
}

TEST(ValueAllocationTest, BurstsBeyondTheBoundGoBack) {
  const long count = static_cast<long>(3 * kKeptPayloadBytesPerSize / 32);
  Counting counting;
  {
    std::vector<Value> strings;
    strings.reserve(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i) strings.push_back(Value::string("s"));
  }
  // At most the bound's worth of blocks (each at least 32 bytes) stays kept; the rest is freed.
  // Under the address sanitizer none is kept.
  const long kept = kAddressSanitizer ? 0 : static_cast<long>(kKeptPayloadBytesPerSize / 32);
  EXPECT_GE(g_frees, count - kept);
}

TEST(ValueAllocationTest, AThreadGivesBackWhatItKept) {
  Counting counting;
  std::thread worker([] {
    std::vector<Value> values;
    for (int64_t i = 0; i < 1000; ++i) {
      values.push_back(small_record(i));
      values.push_back(Value::string("text"));
    }
  });
  worker.join();
  EXPECT_EQ(counting.live(), 0);
}

TEST(ValueAllocationTest, ACopyThatRunsOutOfMemoryLeavesNothingBehind) {
  Dict dict;
  for (int i = 0; i < 40; ++i)
    dict.insert_or_assign(std::string(32, 'k') + std::to_string(i), Value::number(i));
  // Fail each allocation of the copy in turn: the copy reports it and frees what it made.
  for (long fail_at = 0;; ++fail_at) {
    Counting counting;
    g_fail_after = fail_at;
    bool failed = false;
    try {
      Dict copy(dict);
      g_fail_after = -1;
      ASSERT_EQ(copy.size(), dict.size());
    } catch (const std::bad_alloc&) {
      failed = true;
    }
    g_fail_after = -1;
    EXPECT_EQ(counting.live(), 0) << "failing allocation " << fail_at;
    if (!failed) break;
    ASSERT_LT(fail_at, 1000);
  }
  // The source is untouched by the failed copies.
  for (int i = 0; i < 40; ++i)
    ASSERT_EQ(dict.find(std::string(32, 'k') + std::to_string(i))->as_number(), i);
}

TEST(ValueAllocationTest, GrowingThatRunsOutOfMemoryKeepsTheDictWhole) {
  for (long fail_at = 0; fail_at < 4; ++fail_at) {
    Dict dict;
    for (int i = 0; i < static_cast<int>(Dict::kIndexThreshold); ++i)
      dict.insert_or_assign("k" + std::to_string(i), Value::number(i));
    std::string key = "the key that needs the index";
    Counting counting;
    g_fail_after = fail_at;
    try {
      dict.insert_or_assign(std::move(key), Value::number(99));
      g_fail_after = -1;
      ASSERT_EQ(dict.size(), Dict::kIndexThreshold + 1);
      EXPECT_EQ(dict.find("the key that needs the index")->as_number(), 99);
    } catch (const std::bad_alloc&) {
      g_fail_after = -1;
      // Nothing was added, and everything already there is still found.
      ASSERT_EQ(dict.size(), Dict::kIndexThreshold);
      EXPECT_EQ(dict.find("the key that needs the index"), nullptr);
    }
    g_fail_after = -1;
    for (int i = 0; i < static_cast<int>(Dict::kIndexThreshold); ++i)
      ASSERT_EQ(dict.find("k" + std::to_string(i))->as_number(), i);
  }
}

}  // namespace
}  // namespace vormel
