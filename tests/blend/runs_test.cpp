// The vector rows' choices inside a row: per vector (key lanes only, none,
// or both, then the row's last lanes through masks), and per drawn run
// (whole vectors, 8-byte moves or single pixels by the run's length). Each
// choice is met on both sides of its threshold, next to fenced key pixels.
#include <gtest/gtest.h>

#include <vector>

#include "isa_param.h"
#include "pixel_model.h"
#include "surface.h"

namespace glimfx_test {
namespace {

using Runs = PathTest;

// A drawn pixel: its colour bits are not all zero. In the 16-bit layouts one
// pixel of a pair may be a key pixel, which keeps the pair drawn.
uint32_t DrawnPixel(Rng& rng, uint32_t format) {
  const uint32_t colour = BytesPerPixel(format) == 2 ? 0xFFFFu : 0xFFFFFFu;
  uint32_t v;
  do v = rng.Next32();
  while ((v & colour) == 0);
  return v;
}

// One lane: a pair in the 16-bit layouts, else a pixel.
int32_t PixelsPerLane(uint32_t format) { return BytesPerPixel(format) == 2 ? 2 : 1; }

void PutLane(Rng& rng, uint8_t* src, int32_t lane, uint32_t format, bool drawn) {
  const int32_t bpp = BytesPerPixel(format);
  const int32_t unit = PixelsPerLane(format);
  for (int32_t p = 0; p < unit; ++p) {
    PutPixel(src, lane * unit + p, bpp,
             drawn ? DrawnPixel(rng, format) : RandomKeyPixel(rng, format));
  }
  if (drawn && unit == 2 && rng.Chance(20)) PutPixel(src, lane * unit + rng.Below(2), bpp, 0);
}

// A drawn run of every length from 1 to 40 lanes, starting at several
// places inside a vector step, ends where a page of key pixels begins, and
// another run of the same length starts where that page ends. The page is
// fenced: a run that reads or writes one byte past its end, or before its
// start, faults; a write into the key pixels beside it is a difference.
TEST_P(Runs, DrawnRunsEndAndStartAtAFence) {
  Rng rng(0x52A45E);
  const int32_t page = static_cast<int32_t>(PageSize());
  for (uint32_t format : kAllFormats) {
    const int32_t bpp = BytesPerPixel(format);
    const int32_t unit = PixelsPerLane(format);
    for (int32_t lead : {0, 1, 2, 3, 5, 7, 8, 13, 15, 16, 17, 31, 33}) {
      for (int32_t run = 1; run <= 40; ++run) {
        const int32_t fence_at = (lead + run) * unit;  // first pixel on the fenced page
        // Pixels with a byte on the fenced page, widened to whole lanes.
        const int32_t key_end_px = (fence_at * bpp + page + bpp - 1) / bpp;
        const int32_t key_end = (key_end_px + unit - 1) / unit;  // in lanes
        const int32_t trail = run % 2 == 0 ? lead : 0;
        const int32_t lanes = key_end + run + trail;
        const int32_t width = lanes * unit;
        PageBlock block(3);
        uint8_t* row = block.Page(1) - fence_at * bpp;
        std::vector<uint8_t> src(static_cast<size_t>(width * bpp));
        std::vector<uint8_t> expected(src.size());
        for (int32_t lane = 0; lane < lanes; ++lane) {
          const bool drawn =
              (lane >= lead && lane < lead + run) || (lane >= key_end && lane < key_end + run);
          PutLane(rng, src.data(), lane, format, drawn);
        }
        for (int32_t x = 0; x < width; ++x) {
          const uint32_t d = RandomPixel(rng, format, PixelMix{10, 30});
          PutPixel(row, x, bpp, d);
          PutPixel(expected.data(), x, bpp, d);
        }
        block.Fence(1);
        ModelBlend(expected.data(), src.data(), width, 1, 0, 0, format);

        ASSERT_EQ(0, glimfx::Blend(isa(), row, src.data(), width, 1, 0, 0, format));
        // Every byte but the fenced page's (a readable fence is compared too).
        const size_t before = static_cast<size_t>(fence_at * bpp);
        const size_t after = before + (block.IsFenced(1) ? static_cast<size_t>(page) : 0);
        std::string diff = FirstDifference(expected.data(), row, before);
        if (diff.empty()) {
          diff = FirstDifference(expected.data() + after, row + after, expected.size() - after);
        }
        ASSERT_TRUE(diff.empty()) << "path " << path() << ", format " << FormatName(format)
                                  << ", width " << width << ", runs of " << run
                                  << " lanes from lane " << lead << " and " << key_end << ": "
                                  << diff;
      }
    }
  }
}

// Every width from 1 to 40 lanes, with the vectors' lanes (eight at most)
// all key, all drawn, all but one key and all but one drawn in turn, so
// every per-vector choice and the row's last lanes meet each other.
TEST_P(Runs, EveryVectorDensityAtEveryWidth) {
  Rng rng(0xDE45E);
  constexpr int32_t kVector = 8;  // lanes; smaller vectors see the patterns shifted
  for (uint32_t format : kAllFormats) {
    const int32_t unit = PixelsPerLane(format);
    for (int32_t lanes = 1; lanes <= 40; ++lanes) {
      for (int32_t odd = 0; odd < unit; ++odd) {  // a lone last 16-bit pixel
        const int32_t width = lanes * unit + odd;
        for (int32_t phase = 0; phase < 4; ++phase) {
          Case c = RandomCase(rng, Routine::kBlend, format, width, 2);
          c.fill_src = [&](Rng& fill, uint8_t* first_row, const RectLayout& layout) {
            for (int32_t r = 0; r < 2; ++r) {
              for (int32_t lane = 0; lane < lanes; ++lane) {
                const int32_t pattern = (lane / kVector + phase + r) % 4;
                const int32_t one = fill.Below(kVector);
                const bool drawn = pattern == 1 || (pattern == 2 && lane % kVector == one) ||
                                   (pattern == 3 && lane % kVector != one);
                PutLane(fill, first_row + r * layout.pitch, lane, format, drawn);
              }
            }
          };
          ASSERT_EQ("", CheckCase(target(), c)) << "pattern phase " << phase;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, Runs, ::testing::ValuesIn(kAllIsas), IsaParamName);

}  // namespace
}  // namespace glimfx_test
