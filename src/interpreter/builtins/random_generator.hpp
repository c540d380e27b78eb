// The random generator behind `random` and `random_range`: ChaCha with 12 rounds, keyed
// by 32 seed bytes and rekeyed from its seed source after every 64 KiB of output.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace vormel {

using ChaChaState = std::array<uint32_t, 16>;

// The ChaCha block function: `rounds` rounds (an even number) over `input`, then the input
// added word by word.
ChaChaState chacha_block(const ChaChaState& input, int rounds);

// Fills the span with bytes from the operating system's random source.
void fill_from_os_random(std::span<uint8_t> out);

class RandomGenerator {
 public:
  static constexpr int kRounds = 12;
  static constexpr size_t kSeedBytes = 32;
  static constexpr uint64_t kReseedAfterBytes = 65536;

  using SeedSource = std::function<void(std::span<uint8_t, kSeedBytes>)>;

  // Seeds at once from `source`, and again from it whenever the reseeding bound is reached.
  explicit RandomGenerator(SeedSource source);

  uint32_t next_u32();
  // Two consecutive 32-bit outputs, the first as the low half.
  uint64_t next_u64();

  // Bytes handed out since the last seeding.
  uint64_t bytes_since_seed() const { return bytes_since_seed_; }

 private:
  void reseed();
  void refill();

  SeedSource source_;
  ChaChaState input_{};  // constants, key, 64-bit block counter, zero nonce
  ChaChaState block_{};
  size_t next_word_ = 16;  // index into block_; 16 means the block is used up
  uint64_t bytes_since_seed_ = 0;
};

// This thread's generator, created and seeded from the operating system on first use.
RandomGenerator& thread_random_generator();

}  // namespace vormel
