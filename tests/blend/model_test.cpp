// Every path against the per-channel model on thousands of random rectangles.
#include <gtest/gtest.h>

#include "isa_param.h"

namespace glimfx_test {
namespace {

using RandomRects = PathTest;

constexpr int kRandomCases = 4000;  // a thousand per format

TEST_P(RandomRects, HalfBlendMatchesModel) {
  EXPECT_EQ("", CheckRandom(target(), Routine::kBlend, 0x5EED0001, kRandomCases));
}

TEST_P(RandomRects, NightMatchesModel) {
  EXPECT_EQ("", CheckRandom(target(), Routine::kNight, 0x5EED0002, kRandomCases));
}

INSTANTIATE_TEST_SUITE_P(AllPaths, RandomRects, ::testing::ValuesIn(kAllIsas), IsaParamName);

}  // namespace
}  // namespace glimfx_test
