// Every path leaves the x87 unit usable: a caller's floating-point code
// after a call computes right, also for widths below one group of four.
#include <gtest/gtest.h>

#include <cstdint>

#include "isa_param.h"
#include "x87_probe.h"

#if defined(GLIMFX_TEST_HAVE_X87)

namespace glimfx_test {
namespace {

class X87State : public PathTest {};

TEST_P(X87State, CallerFloatingPointWorksAfterEveryCall) {
  constexpr int32_t kPitch = 4 * 9 + 1;
  uint8_t surface[kPitch * 3 + 8];
  uint8_t source[kPitch * 3 + 8];
  for (uint32_t format : {1u, 0u, 3u, 4u}) {
    for (int32_t width = 1; width <= 9; ++width) {
      for (size_t i = 0; i < sizeof surface; ++i) {
        surface[i] = static_cast<uint8_t>(i * 37 + 1);
        source[i] = static_cast<uint8_t>(i * 11 + 5);
      }
      ASSERT_EQ(0, Night()(surface + 1, width, 3, kPitch, format));
      EXPECT_EQ(0xFFFF, X87TagWord())
          << path() << " night, format " << format << ", width " << width;
      EXPECT_EQ(4.25, X87MulAdd(1.25, 3.0, 0.5)) << path() << " night, format " << format;

      ASSERT_EQ(0, Blend()(surface + 1, source + 3, width, 3, kPitch, kPitch, format));
      EXPECT_EQ(0xFFFF, X87TagWord())
          << path() << " blend, format " << format << ", width " << width;
      EXPECT_EQ(4.25, X87MulAdd(1.25, 3.0, 0.5)) << path() << " blend, format " << format;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, X87State, ::testing::ValuesIn(kAllIsas), IsaParamName);

}  // namespace
}  // namespace glimfx_test

#endif
