// The documented worked results of both routines, as tables shared by the
// unit tests and the Windows test host.
#ifndef GLIMFX_TESTS_SUPPORT_WORKED_EXAMPLES_H_
#define GLIMFX_TESTS_SUPPORT_WORKED_EXAMPLES_H_

#include <cstddef>
#include <cstdint>

namespace glimfx_test {

// One row of `width` pixels (at most 3). 24-bit pixels are given as the
// little-endian value of their three bytes in memory order.
struct BlendExample {
  uint32_t format;
  int32_t width;
  uint32_t dest[3];
  uint32_t src[3];
  uint32_t expected[3];
};

struct NightExample {
  uint32_t format;
  uint32_t before;
  uint32_t in_group;  // result for a pixel inside a row's group of four
  uint32_t in_tail;   // result for one of the width mod 4 pixels at the end
};

extern const BlendExample kBlendExamples[];
extern const size_t kBlendExampleCount;
extern const NightExample kNightExamples[];
extern const size_t kNightExampleCount;

// Bytes b0 b1 b2 in memory order as a 24-bit little-endian value.
constexpr uint32_t Bytes3(uint32_t b0, uint32_t b1, uint32_t b2) { return b0 | b1 << 8 | b2 << 16; }
constexpr uint32_t Bytes4(uint32_t b0, uint32_t b1, uint32_t b2, uint32_t b3) {
  return b0 | b1 << 8 | b2 << 16 | b3 << 24;
}

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_WORKED_EXAMPLES_H_
