// The documented results, rejected codes and empty rectangles, on every path.
#include <gtest/gtest.h>

#include <cstdint>

#include "behaviour.h"
#include "isa_param.h"
#include "pixel_model.h"
#include "rect.h"
#include "worked_examples.h"

namespace glimfx_test {
namespace {

using Examples = PathTest;

TEST_P(Examples, BlendWorkedExamples) {
  const std::string failure = CheckBlendExamples(Blend(), path());
  EXPECT_TRUE(failure.empty()) << failure;
}

TEST_P(Examples, NightWorkedResultsAtWidthsOneToNine) {
  const std::string failure = CheckNightExamples(Night(), path());
  EXPECT_TRUE(failure.empty()) << failure;
}

TEST_P(Examples, RepeatedDarkeningSettles) {
  const std::string failure = CheckNightRepeated(Night(), path());
  EXPECT_TRUE(failure.empty()) << failure;
}

TEST_P(Examples, BadFormatsAndWidthZeroTouchNothing) {
  const std::string failure = CheckRejectsAndEmpty(Blend(), Night(), path());
  EXPECT_TRUE(failure.empty()) << failure;
}

// Outside the caller's contract, but must stay harmless: nothing touched,
// in both routines, whatever the sign of either size.
TEST_P(Examples, NegativeOrZeroSizesTouchNothing) {
  struct Size {
    int32_t width, height;
  };
  const Size sizes[] = {{-1, 1}, {-5, 3},        {INT32_MIN, 1}, {2, 0},   {2, -3},
                        {2, -1}, {2, INT32_MIN}, {0, -2},        {-1, -1}, {0, 0}};
  uint8_t dest[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const uint8_t src[16] = {0xFF, 0xFF, 0xFF, 0xFF};
  const uint8_t before[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  for (uint32_t format : kAllFormats) {
    for (const Size& size : sizes) {
      EXPECT_EQ(0, glimfx::Blend(isa(), dest, src, size.width, size.height, 8, 8, format));
      EXPECT_EQ(0, glimfx::Night(isa(), dest, size.width, size.height, 8, format));
      const std::string diff = FirstDifference(before, dest, sizeof dest);
      ASSERT_TRUE(diff.empty()) << "path " << path() << ", format " << FormatName(format)
                                << ", width " << size.width << ", height " << size.height << ": "
                                << diff;
    }
  }
}

// In 5-6-5 the blue increment depends on whether a pixel is in a group of
// four counted from the row's first pixel; widths 1 to 9 put the boundary
// everywhere, on rows whose starts have every alignment.
TEST_P(Examples, Night565GroupsAndTailsAtEveryWidth) {
  for (int32_t width = 1; width <= 9; ++width) {
    for (int32_t height = 1; height <= 4; ++height) {
      const uint64_t seed = 0x565000u + static_cast<uint64_t>(width * 16 + height);
      const std::string failure =
          CompareNightCase(Night(), path(), seed, kFormat565, width, height);
      ASSERT_TRUE(failure.empty()) << failure;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, Examples, ::testing::ValuesIn(kAllIsas), IsaParamName);

// The model itself must reproduce the documented tables, or every comparison
// against it proves nothing.
TEST(Model, ReproducesTheWorkedExamples) {
  const BlendFn blend = ModelBlend;
  const NightFn night = ModelNight;
  std::string failure = CheckBlendExamples(blend, "model");
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckNightExamples(night, "model");
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckNightRepeated(night, "model");
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckRejectsAndEmpty(blend, night, "model");
  EXPECT_TRUE(failure.empty()) << failure;
}

TEST(Model, KeyPixelRules) {
  EXPECT_TRUE(ModelIsKey(kFormat555, 0x0000));
  EXPECT_FALSE(ModelIsKey(kFormat555, 0x8000));
  EXPECT_TRUE(ModelIsKey(kFormat32, 0xFF000000));
  EXPECT_FALSE(ModelIsKey(kFormat32, 0x00000100));
  EXPECT_FALSE(ModelIsKey(kFormat24, 0x010000));
  // A key pixel beside a drawn one: its destination blended with itself.
  EXPECT_EQ(0x7BDEu, ModelBlendPixel(kFormat555, 0xFFFF, 0xFFFF));
  EXPECT_EQ(0xF7DEu, ModelBlendPixel(kFormat565, 0xFFFF, 0xFFFF));
}

}  // namespace
}  // namespace glimfx_test
