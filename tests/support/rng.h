// Small deterministic random source. The same seed gives the same sequence
// on every compiler and platform, so a failing case can be replayed anywhere.
#ifndef GLIMFX_TESTS_SUPPORT_RNG_H_
#define GLIMFX_TESTS_SUPPORT_RNG_H_

#include <cstdint>

namespace glimfx_test {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  uint64_t Next64() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Next32() { return static_cast<uint32_t>(Next64() >> 32); }
  uint8_t NextByte() { return static_cast<uint8_t>(Next64() >> 56); }
  // Uniform enough in [0, n) for test data; n must be above 0.
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>((Next64() >> 32) % n); }
  int32_t Between(int32_t lo, int32_t hi) {  // inclusive
    return lo + static_cast<int32_t>(Below(static_cast<uint32_t>(hi - lo + 1)));
  }
  // True with probability percent / 100.
  bool Chance(uint32_t percent) { return Below(100) < percent; }

 private:
  uint64_t state_;
};

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_RNG_H_
