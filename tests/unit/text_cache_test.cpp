// The bound of the rendered-text cache: the least recently used line goes first, by count
// and by pixels, and every texture is released exactly once (at eviction or at the end).
#include "interpreter/graphics/text_cache.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace vormel {
namespace {

std::vector<int> g_released;
void release(int texture) { g_released.push_back(texture); }

constexpr DrawColor kWhite{255, 255, 255, 255};
constexpr DrawColor kRed{255, 0, 0, 255};

TEST(TextCache, KeysByTextSizeAndColourAndEvictsTheLeastRecentlyUsed) {
  g_released.clear();
  {
    TextCache<int> cache(3, 1000, release);
    cache.insert("score", 20, kWhite, {1, 10, 10});
    cache.insert("score", 24, kWhite, {2, 10, 10});
    cache.insert("score", 20, kRed, {3, 10, 10});
    ASSERT_NE(cache.find("score", 20, kWhite), nullptr);  // now the most recent
    EXPECT_EQ(cache.find("score", 20, kWhite)->texture, 1);
    EXPECT_EQ(cache.find("Score", 20, kWhite), nullptr);
    cache.insert("lives", 20, kWhite, {4, 10, 10});  // a fourth: the oldest unused goes
    EXPECT_EQ(g_released, std::vector<int>{2});
    EXPECT_EQ(cache.find("score", 24, kWhite), nullptr);
    EXPECT_EQ(cache.size(), 3u);
    // Past the pixel budget, older entries go until it fits again.
    cache.insert("banner", 20, kWhite, {5, 90, 10});
    EXPECT_EQ(g_released, (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(cache.find("banner", 20, kWhite)->texture, 5);
  }
  EXPECT_EQ(g_released, (std::vector<int>{2, 3, 1, 4, 5}));
}

}  // namespace
}  // namespace vormel
