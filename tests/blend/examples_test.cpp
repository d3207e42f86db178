// The documented results (also through the C header), rejected codes, empty
// rectangles and thousands of random rectangles against the per-channel
// model, on every path; the model and the x87 check themselves.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "isa_param.h"
#include "pixel_model.h"

extern "C" int GlimfxCHeaderRoundTrip(void);

namespace glimfx_test {
namespace {

// A C caller of the exports through the public header; nonzero names the
// step that went wrong.
TEST(PublicHeader, CallableFromC) { EXPECT_EQ(0, GlimfxCHeaderRoundTrip()); }

using Examples = PathTest;

TEST_P(Examples, HalfBlendWorkedExamples) { EXPECT_EQ("", CheckBlendExamples(target())); }

TEST_P(Examples, NightWorkedResultsAtWidthsOneToNine) {
  EXPECT_EQ("", CheckNightExamples(target()));
}

TEST_P(Examples, RepeatedDarkeningSettles) { EXPECT_EQ("", CheckNightRepeated(target())); }

TEST_P(Examples, BadFormatsAndWidthZeroTouchNothing) {
  EXPECT_EQ("", CheckRejectsAndEmpty(target()));
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
      ASSERT_EQ("", FirstDifference(before, dest, sizeof dest))
          << "path " << path() << ", format " << FormatName(format) << ", width " << size.width
          << ", height " << size.height;
    }
  }
}

// In 5-6-5 the blue increment depends on whether a pixel is in a group of
// four counted from the row's first pixel; widths 1 to 9 put the boundary
// everywhere, on rows whose starts have every alignment.
TEST_P(Examples, Night565GroupsAndTailsAtEveryWidth) {
  Rng rng(0x565000);
  for (int32_t width = 1; width <= 9; ++width) {
    for (int32_t height = 1; height <= 4; ++height) {
      ASSERT_EQ("",
                CheckCase(target(), RandomCase(rng, Routine::kNight, kFormat565, width, height)));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, Examples, ::testing::ValuesIn(kAllIsas), IsaParamName);

using RandomRects = PathTest;

constexpr int kRandomCases = 4000;  // a thousand per format

TEST_P(RandomRects, HalfBlendMatchesModel) {
  EXPECT_EQ("", CheckRandom(target(), Routine::kBlend, 0x5EED0001, kRandomCases));
}

TEST_P(RandomRects, NightMatchesModel) {
  EXPECT_EQ("", CheckRandom(target(), Routine::kNight, 0x5EED0002, kRandomCases));
}

// A surface blended onto itself: every path gives what the in-order blit
// gives, wherever the source lies under the destination.
TEST_P(RandomRects, OverlappingHalfBlendMatchesModel) {
  EXPECT_EQ("", CheckOverlapping(target(), 0x5EED0004, 2000));
}

// Rectangles of 2 MiB and more take rows of their own (the destination asked
// for ahead), which the small random ones never reach: one row either side
// of that size, opaque and sprite sources, rows down and up, a width that
// leaves lanes past the vectors.
TEST_P(RandomRects, HalfBlendOfLargeRectanglesMatchesModel) {
  constexpr int32_t kWidth = 1030;
  uint64_t seed = 0x5EED0003;
  for (uint32_t format : kAllFormats) {
    const int32_t first_large = 2 * 1024 * 1024 / (BytesPerPixel(format) * kWidth) + 1;
    for (const PixelMix& mix : {PixelMix{0, 25, 1}, PixelMix{40, 25, 30}}) {
      const int32_t height = first_large - (mix.key_percent != 0 ? 0 : 1);
      Case c;
      c.format = format;
      c.width = kWidth;
      c.height = height;
      c.dest = Placement{12, mix.key_percent != 0, 0, false, false};
      c.src = Placement{4, false, 0, false, true};
      c.mix = mix;
      c.seed = seed++;
      EXPECT_EQ("", CheckCase(target(), c));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, RandomRects, ::testing::ValuesIn(kAllIsas), IsaParamName);

// The model itself must reproduce the documented tables, or every comparison
// against it proves nothing.
TEST(Model, ReproducesTheWorkedExamples) { EXPECT_EQ("", CheckBehaviour(ModelTarget(), 0, 0)); }

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

#if defined(__i386__) || defined(__x86_64__)
// The check that follows every call must notice MMX state left behind.
TEST(X87Check, NoticesPackedIntegerStateLeftBehind) {
  EXPECT_EQ("", X87Failure());
  asm volatile("pxor %mm0, %mm0");
  const std::string failure = X87Failure();
  asm volatile("emms\n\tfnclex");
  EXPECT_NE(std::string::npos, failure.find("tag word")) << failure;
  EXPECT_EQ("", X87Failure());
}
#endif

}  // namespace
}  // namespace glimfx_test
