#include "interpreter/builtins/random_generator.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace vormel {
namespace {

constexpr ChaChaState kConstantsOnly = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574};

// Keystream bytes of a block as hex, words serialised little-endian.
std::string keystream_hex(const std::vector<uint32_t>& words) {
  std::string hex;
  char buffer[3];
  for (uint32_t word : words)
    for (int byte = 0; byte < 4; ++byte) {
      std::snprintf(buffer, sizeof buffer, "%02x", (word >> (8 * byte)) & 0xff);
      hex += buffer;
    }
  return hex;
}

std::string keystream_hex(const ChaChaState& block) {
  return keystream_hex(std::vector<uint32_t>(block.begin(), block.end()));
}

// A seed source that fills every byte with the number of the seeding (1, 2, ...).
struct CountingSeeds {
  int* calls;
  void operator()(std::span<uint8_t, RandomGenerator::kSeedBytes> out) const {
    ++*calls;
    std::fill(out.begin(), out.end(), static_cast<uint8_t>(*calls));
  }
};

// The generator's input block for a key whose bytes all equal `fill`, at block `counter`.
ChaChaState input_for_uniform_key(uint8_t fill, uint32_t counter) {
  ChaChaState input = kConstantsOnly;
  uint32_t word = fill * 0x01010101u;
  for (int i = 4; i < 12; ++i) input[i] = word;
  input[12] = counter;
  return input;
}

TEST(ChaChaBlockTest, MatchesRfc8439BlockFunctionVector) {
  // RFC 8439 section 2.3.2: key 00..1f, block count 1, nonce 00:00:00:09:00:00:00:4a:00..00.
  ChaChaState input = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574, 0x03020100, 0x07060504,
                       0x0b0a0908, 0x0f0e0d0c, 0x13121110, 0x17161514, 0x1b1a1918, 0x1f1e1d1c,
                       0x00000001, 0x09000000, 0x4a000000, 0x00000000};
  ChaChaState expected = {0xe4e7f110, 0x15593bd1, 0x1fdd0f50, 0xc47120a3, 0xc7f4d1c7, 0x0368c033,
                          0x9aaa2204, 0x4e6cd4c3, 0x466482d2, 0x09aa9f07, 0x05d7c214, 0xa2028bd9,
                          0xd19c12b5, 0xb94e16de, 0xe883d0cb, 0x4e3c50a2};
  EXPECT_EQ(chacha_block(input, 20), expected);
}

TEST(ChaChaBlockTest, MatchesRfc8439ZeroKeyKeystreamVectors) {
  // RFC 8439 appendix A.1, test vectors 1 and 2: all-zero key and nonce, counters 0 and 1.
  ChaChaState input = kConstantsOnly;
  EXPECT_EQ(keystream_hex(chacha_block(input, 20)),
            "76b8e0ada0f13d90405d6ae55386bd28bdd219b8a08ded1aa836efcc8b770dc7"
            "da41597c5157488d7724e03fb8d84a376a43b8f41518a11cc387b669b2ee6586");
  input[12] = 1;
  EXPECT_EQ(keystream_hex(chacha_block(input, 20)),
            "9f07e7be5551387a98ba977c732d080dcb0f29a048e3656912c6533e32ee7aed"
            "29b721769ce64e43d57133b074d839d531ed1f28510afb45ace10a1f4b794d6f");
}

TEST(RandomGeneratorTest, ZeroSeedGivesThePublishedChaCha12Keystream) {
  // ChaCha with 12 rounds, 256-bit all-zero key and nonce: the first keystream block of the
  // published ChaCha test vectors (draft-strombergson-chacha-test-vectors, TC1).
  RandomGenerator generator([](std::span<uint8_t, RandomGenerator::kSeedBytes> out) {
    std::fill(out.begin(), out.end(), uint8_t{0});
  });
  std::vector<uint32_t> words;
  for (int i = 0; i < 16; ++i) words.push_back(generator.next_u32());
  EXPECT_EQ(keystream_hex(words),
            "9bf49a6a0755f953811fce125f2683d50429c3bb49e074147e0089a52eae155f"
            "0564f879d27ae3c02ce82834acfa8c793a629f2ca0de6919610be82f411326be");
}

TEST(RandomGeneratorTest, SeedBytesBecomeTheKeyLittleEndianAndBlocksCountUp) {
  RandomGenerator generator([](std::span<uint8_t, RandomGenerator::kSeedBytes> out) {
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(i);
  });
  ChaChaState input = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574, 0x03020100, 0x07060504,
                       0x0b0a0908, 0x0f0e0d0c, 0x13121110, 0x17161514, 0x1b1a1918, 0x1f1e1d1c};
  for (uint32_t counter = 0; counter < 3; ++counter) {
    input[12] = counter;
    ChaChaState block = chacha_block(input, 12);
    for (size_t i = 0; i < block.size(); ++i)
      ASSERT_EQ(generator.next_u32(), block[i]) << "block " << counter << " word " << i;
  }
}

TEST(RandomGeneratorTest, SixtyFourBitDrawTakesTheFirstOutputAsLowHalf) {
  int calls_a = 0, calls_b = 0;
  RandomGenerator a{CountingSeeds{&calls_a}};
  RandomGenerator b{CountingSeeds{&calls_b}};
  for (int i = 0; i < 40; ++i) {  // crosses block boundaries
    uint64_t low = b.next_u32();
    uint64_t high = b.next_u32();
    ASSERT_EQ(a.next_u64(), low | high << 32) << "draw " << i;
  }
  EXPECT_EQ(a.bytes_since_seed(), 40u * 8u);
}

TEST(RandomGeneratorTest, ReseedsExactlyAfterSixtyFourKibibytes) {
  int calls = 0;
  RandomGenerator generator{CountingSeeds{&calls}};
  EXPECT_EQ(calls, 1);  // seeded when created
  constexpr uint64_t kWordsPerSeed = RandomGenerator::kReseedAfterBytes / 4;
  uint32_t last_word = 0;
  for (uint64_t i = 0; i < kWordsPerSeed; ++i) last_word = generator.next_u32();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(generator.bytes_since_seed(), RandomGenerator::kReseedAfterBytes);
  // The last word of the first seeding is the end of block 1023 under the first key.
  EXPECT_EQ(last_word, chacha_block(input_for_uniform_key(1, 1023), 12)[15]);

  // The next output comes from the new key, starting again at block 0.
  uint32_t first_after = generator.next_u32();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(generator.bytes_since_seed(), 4u);
  EXPECT_EQ(first_after, chacha_block(input_for_uniform_key(2, 0), 12)[0]);
}

TEST(RandomGeneratorTest, SixtyFourBitDrawsReseedAtTheSameBound) {
  int calls = 0;
  RandomGenerator generator{CountingSeeds{&calls}};
  for (uint64_t i = 0; i < RandomGenerator::kReseedAfterBytes / 8; ++i) generator.next_u64();
  EXPECT_EQ(calls, 1);
  generator.next_u64();
  EXPECT_EQ(calls, 2);
  for (uint64_t i = 1; i < RandomGenerator::kReseedAfterBytes / 8; ++i) generator.next_u64();
  EXPECT_EQ(calls, 2);
  generator.next_u64();
  EXPECT_EQ(calls, 3);
}

TEST(RandomGeneratorTest, EachThreadHasItsOwnGenerator) {
  RandomGenerator* here = &thread_random_generator();
  EXPECT_EQ(here, &thread_random_generator());
  RandomGenerator* there = nullptr;
  std::thread other([&] { there = &thread_random_generator(); });
  other.join();
  EXPECT_NE(here, there);
}

TEST(OsRandomTest, TwoFillsOfSixtyFourBytesDiffer) {
  // Two fills of 64 bytes agree only with probability 2^-512; an untouched buffer would agree.
  std::array<uint8_t, 64> first{}, second{};
  fill_from_os_random(first);
  fill_from_os_random(second);
  EXPECT_NE(first, second);
}

}  // namespace
}  // namespace vormel
