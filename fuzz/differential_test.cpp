// Every vector path and the exports against the scalar path, over whole
// buffers: widths on both sides of every step size, odd and negative
// pitches, unaligned starts, and sources from all-key to key-free.
#include <gtest/gtest.h>

#include <string>

#include "blit_diff.h"
#include "isa.h"
#include "pixel_format.h"

namespace glimfx_fuzz {
namespace {

// Widths around the 4-, 8-, 16- and 32-pixel steps, around the 64-lane
// segments of the run walk (64 pixels of 32 bits, 128 of 16 bits) and a few
// wide rows.
constexpr int32_t kWidths[] = {0,  1,  2,  3,  4,  5,   6,   7,   8,   9,   11,  12,  15,
                               16, 17, 18, 23, 24, 31,  32,  33,  34,  47,  48,  49,  63,
                               64, 65, 95, 96, 97, 127, 128, 129, 130, 256, 257, 259, 700};

struct Layout {
  int32_t dest_gap, src_gap;
  bool dest_upward, src_upward;
  int32_t dest_offset, src_offset;
};
// Tight rows, odd gaps, each surface upward on its own, odd start offsets.
constexpr Layout kLayouts[] = {{0, 0, false, false, 0, 0},
                               {3, 5, false, true, 1, 3},
                               {7, 1, true, false, 3, 0},
                               {1, 2, true, true, 2, 1}};

struct Fill {
  uint8_t key_share, max_run;
};
// No key pixel; sprite-like runs; lone key pixels; nearly all key; long
// runs of both kinds that cross the run walk's segments.
constexpr Fill kFills[] = {{0, 1}, {40, 60}, {90, 1}, {250, 60}, {3, 200}};

TEST(Differential, PathsPresent) {
  for (glimfx::Isa isa : {glimfx::Isa::kSse2, glimfx::Isa::kAvx2}) {
    if (!glimfx::IsaSupported(isa)) {
      GTEST_SKIP() << glimfx::IsaName(isa) << " is not available here; its rows go unchecked";
    }
  }
}

void SweepRoutine(Routine routine) {
  uint64_t seed = 1;
  int failures = 0;
  for (uint32_t format : glimfx::kAllFormats) {
    for (int32_t width : kWidths) {
      for (const Layout& l : kLayouts) {
        for (const Fill& f : kFills) {
          // The fill only shapes the night surface's zero pixels; two suffice.
          if (routine == Routine::kNight && f.key_share == 90) continue;
          Case c;
          c.routine = routine;
          c.format = format;
          c.width = width;
          c.height = 3;
          c.dest_gap = l.dest_gap;
          c.src_gap = l.src_gap;
          c.dest_upward = l.dest_upward;
          c.src_upward = l.src_upward;
          c.dest_offset = l.dest_offset;
          c.src_offset = l.src_offset;
          c.key_share = f.key_share;
          c.max_run = f.max_run;
          c.seed = seed++;
          const std::string failure = CheckCase(c);
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
      Case c;
      c.routine = routine;
      c.format = format;
      c.width = 40;
      c.height = 2;
      c.seed = format;
      EXPECT_EQ(CheckCase(c), "");
    }
  }
}

// Random headers drawn the way the fuzzer draws them.
TEST(Differential, RandomInputs) {
  uint64_t state = 0xD1FFull;
  int failures = 0;
  for (int i = 0; i < 4000 && failures < 5; ++i) {
    uint8_t input[16];
    for (auto& b : input) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      b = static_cast<uint8_t>(state >> 56);
    }
    const std::string failure = CheckInput(input, sizeof input);
    EXPECT_EQ(failure, "") << "input " << i;
    if (!failure.empty()) ++failures;
  }
}

}  // namespace
}  // namespace glimfx_fuzz
