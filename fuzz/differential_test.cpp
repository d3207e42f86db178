// Every path and the exports against the model over whole fenced surfaces:
// widths on both sides of every step size, odd and negative pitches,
// unaligned starts, and sources from all-key to key-free.
#include <gtest/gtest.h>

#include <string>

#include "path_targets.h"

namespace glimfx_test {
namespace {

// Widths around the 4-, 8-, 16- and 32-pixel steps, around the 64-lane
// segments of the run walk (64 pixels of 32 bits, 128 of 16 bits), on both
// sides of the 24-bit rows' 32- and 64-byte choices (widths 10 and 11, 21
// and 22), and a few wide rows.
constexpr int32_t kWidths[] = {0,  1,  2,  3,  4,  5,  6,   7,   8,   9,   10,  11,  12,  15,
                               16, 17, 18, 21, 22, 23, 24,  31,  32,  33,  34,  47,  48,  49,
                               63, 64, 65, 95, 96, 97, 127, 128, 129, 130, 256, 257, 259, 700};

// Tight rows, odd gaps, each surface upward on its own, odd start offsets.
struct Layout {
  Placement dest, src;
};
constexpr Layout kLayouts[] = {{{0, false, 0}, {0, false, 0}},
                               {{3, false, 1}, {5, true, 3}},
                               {{7, true, 3}, {1, false, 0}},
                               {{1, true, 2}, {2, true, 1}}};

// No key pixel; sprite-like runs; lone key pixels; nearly all key; long
// runs of both kinds that cross the run walk's segments.
constexpr PixelMix kFills[] = {{0, 25, 1}, {16, 25, 60}, {35, 25, 1}, {98, 25, 60}, {1, 25, 200}};

TEST(Differential, PathsPresent) {
  for (glimfx::Isa isa : kAllIsas) {
    if (!glimfx::IsaSupported(isa)) {
      GTEST_SKIP() << glimfx::IsaName(isa) << " is not available here; its rows go unchecked";
    }
  }
}

void SweepRoutine(Routine routine) {
  uint64_t seed = 1;
  int failures = 0;
  for (uint32_t format : kAllFormats) {
    for (int32_t width : kWidths) {
      for (const Layout& l : kLayouts) {
        for (const PixelMix& mix : kFills) {
          // The fill only shapes the night surface's zero pixels; two suffice.
          if (routine == Routine::kNight && mix.key_percent == 35) continue;
          const Case c{routine, format, 0, width, 3, l.dest, l.src, mix, seed++};
          const std::string failure = CheckEverywhere(c);
          EXPECT_EQ(failure, "");
          if (!failure.empty() && ++failures == 5) return;
        }
      }
    }
  }
}

TEST(Differential, BlendSweep) { SweepRoutine(Routine::kBlend); }
TEST(Differential, NightSweep) { SweepRoutine(Routine::kNight); }

TEST(Differential, RejectedFormatsTouchNothingOnAnyPath) {
  for (uint32_t format : {2u, 5u, 0xFFFFFFFFu}) {
    for (Routine routine : {Routine::kBlend, Routine::kNight}) {
      const Case c{routine, format, 0, 40, 2, {}, {}, {}, format};
      EXPECT_EQ(CheckEverywhere(c), "");
    }
  }
}

}  // namespace
}  // namespace glimfx_test
