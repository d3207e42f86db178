// Every path against the per-channel model on thousands of random rectangles.
#include <gtest/gtest.h>

#include "behaviour.h"
#include "isa_param.h"

namespace glimfx_test {
namespace {

using RandomRects = PathTest;

constexpr int kRandomCases = 4000;  // a thousand per format

TEST_P(RandomRects, BlendMatchesModel) {
  const std::string failure = CheckBlendRandom(Blend(), path(), 0x5EED0001, kRandomCases);
  EXPECT_TRUE(failure.empty()) << failure;
}

TEST_P(RandomRects, NightMatchesModel) {
  const std::string failure = CheckNightRandom(Night(), path(), 0x5EED0002, kRandomCases);
  EXPECT_TRUE(failure.empty()) << failure;
}

INSTANTIATE_TEST_SUITE_P(AllPaths, RandomRects, ::testing::ValuesIn(kAllIsas), IsaParamName);

}  // namespace
}  // namespace glimfx_test
