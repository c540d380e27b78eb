// ChaCha12 keystream as a random generator. The block counter sits in words 12 and 13 with a
// zero nonce in words 14 and 15; a seeding resets the counter, and the reseeding bound
// (1024 blocks) keeps it far from wrapping.
#include "interpreter/builtins/random_generator.hpp"

#include <sys/random.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <utility>

namespace vormel {
namespace {

constexpr uint32_t rotate_left(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

void quarter_round(ChaChaState& s, int a, int b, int c, int d) {
  s[a] += s[b], s[d] = rotate_left(s[d] ^ s[a], 16);
  s[c] += s[d], s[b] = rotate_left(s[b] ^ s[c], 12);
  s[a] += s[b], s[d] = rotate_left(s[d] ^ s[a], 8);
  s[c] += s[d], s[b] = rotate_left(s[b] ^ s[c], 7);
}

uint32_t load_le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads as much as the kernel gives, retrying after signals; false when the call is unusable.
bool fill_with_getrandom(std::span<uint8_t> out) {
  size_t done = 0;
  while (done < out.size()) {
    ssize_t got = getrandom(out.data() + done, out.size() - done, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(got);
  }
  return true;
}

bool fill_from_urandom(std::span<uint8_t> out) {
  std::FILE* file = std::fopen("/dev/urandom", "rb");
  if (file == nullptr) return false;
  size_t got = std::fread(out.data(), 1, out.size(), file);
  std::fclose(file);
  return got == out.size();
}

}  // namespace

ChaChaState chacha_block(const ChaChaState& input, int rounds) {
  ChaChaState s = input;
  for (int i = 0; i < rounds; i += 2) {
    quarter_round(s, 0, 4, 8, 12);
    quarter_round(s, 1, 5, 9, 13);
    quarter_round(s, 2, 6, 10, 14);
    quarter_round(s, 3, 7, 11, 15);
    quarter_round(s, 0, 5, 10, 15);
    quarter_round(s, 1, 6, 11, 12);
    quarter_round(s, 2, 7, 8, 13);
    quarter_round(s, 3, 4, 9, 14);
  }
  for (size_t i = 0; i < s.size(); ++i) s[i] += input[i];
  return s;
}

void fill_from_os_random(std::span<uint8_t> out) {
  if (fill_with_getrandom(out) || fill_from_urandom(out)) return;
  // Last resort on a system without either source: the clock and an address, so that runs
  // still differ. Never reached on a working Linux.
  uint64_t mix =
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      reinterpret_cast<uintptr_t>(&out);
  for (auto& byte : out) {
    mix = mix * 6364136223846793005u + 1442695040888963407u;
    byte = static_cast<uint8_t>(mix >> 56);
  }
}

RandomGenerator::RandomGenerator(SeedSource source) : source_(std::move(source)) { reseed(); }

void RandomGenerator::reseed() {
  std::array<uint8_t, kSeedBytes> seed{};
  source_(seed);
  // "expand 32-byte k"
  input_[0] = 0x61707865;
  input_[1] = 0x3320646e;
  input_[2] = 0x79622d32;
  input_[3] = 0x6b206574;
  for (size_t i = 0; i < 8; ++i) input_[4 + i] = load_le32(seed.data() + 4 * i);
  for (size_t i = 12; i < 16; ++i) input_[i] = 0;
  next_word_ = block_.size();
  bytes_since_seed_ = 0;
}

void RandomGenerator::refill() {
  block_ = chacha_block(input_, kRounds);
  if (++input_[12] == 0) ++input_[13];
  next_word_ = 0;
}

uint32_t RandomGenerator::next_u32() {
  if (bytes_since_seed_ >= kReseedAfterBytes) reseed();
  if (next_word_ == block_.size()) refill();
  bytes_since_seed_ += sizeof(uint32_t);
  return block_[next_word_++];
}

uint64_t RandomGenerator::next_u64() {
  uint64_t low = next_u32();
  uint64_t high = next_u32();
  return low | high << 32;
}

RandomGenerator& thread_random_generator() {
  thread_local RandomGenerator generator(
      [](std::span<uint8_t, RandomGenerator::kSeedBytes> out) { fill_from_os_random(out); });
  return generator;
}

}  // namespace vormel
