// Rectangles placed against no-access fence pages: any read or write outside
// a rectangle's bytes (past a row's end, before its start, into the gap
// between rows) faults, and so does reading a destination pixel that the
// rules say is not read.
#include "fence.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "isa_param.h"
#include "pixel_gen.h"
#include "pixel_model.h"
#include "rect.h"

namespace glimfx_test {
namespace {

using Fences = PathTest;

constexpr int32_t kWidths[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 70};
constexpr int32_t kHeights[] = {1, 3};

struct Placement {
  bool per_row;  // every row against fences of its own
  bool upward;   // negative pitch
  int32_t gap;   // bytes between rows (contiguous placements only)
  Snug snug;
};

FencedSurface Place(const Placement& p, uint32_t format, int32_t width, int32_t height) {
  const int32_t bpp = BytesPerPixel(format);
  if (p.per_row) return FencedSurface::FencePerRow(bpp, width, height, p.upward, p.snug);
  const int32_t pitch = (width * bpp + p.gap) * (p.upward ? -1 : 1);
  return FencedSurface::Contiguous(bpp, width, height, pitch, p.snug);
}

std::vector<Placement> AllPlacements() {
  std::vector<Placement> all;
  for (Snug snug : {Snug::kEndAtFence, Snug::kStartAfterFence}) {
    for (bool upward : {false, true}) {
      all.push_back({true, upward, 0, snug});
      for (int32_t gap : {0, 3}) all.push_back({false, upward, gap, snug});
    }
  }
  return all;
}

std::string Where(const Placement& p) {
  return std::string(p.per_row ? "a fence around every row" : "fences around all rows") +
         (p.snug == Snug::kEndAtFence ? ", ending at a fence" : ", starting after a fence");
}

TEST_P(Fences, BlendStaysInsideBothRectangles) {
  Rng rng(0xFE4CE1);
  const std::vector<Placement> placements = AllPlacements();
  for (uint32_t format : kAllFormats) {
    for (int32_t width : kWidths) {
      for (int32_t height : kHeights) {
        for (size_t i = 0; i < placements.size(); ++i) {
          // The source takes another placement, so the surfaces step apart.
          const Placement& pd = placements[i];
          const Placement& ps = placements[(i + 3) % placements.size()];
          FencedSurface dest = Place(pd, format, width, height);
          FencedSurface src = Place(ps, format, width, height);
          dest.FillRandom(rng);
          src.FillRandom(rng);
          FillRect(rng, dest.first_row(), dest.layout(), format, PixelMix{10, 30});
          FillRect(rng, src.first_row(), src.layout(), format, PixelMix{35, 25});
          std::vector<uint8_t> expected = dest.Image();
          const std::vector<uint8_t> src_before = src.Image();
          ModelBlend(expected.data() + dest.first_row_offset(), src.first_row(), width, height,
                     src.layout().pitch, dest.layout().pitch, format);

          ASSERT_EQ(0, glimfx::Blend(isa(), dest.first_row(), src.first_row(), width, height,
                                     src.layout().pitch, dest.layout().pitch, format));
          const std::vector<uint8_t> got = dest.Image();
          std::string diff = FirstDifference(expected.data(), got.data(), got.size(), dest.layout(),
                                             dest.first_row_offset());
          ASSERT_TRUE(diff.empty())
              << "path " << path() << ", format " << FormatName(format) << ", width " << width
              << ", height " << height << ", destPitch " << dest.layout().pitch << ", srcPitch "
              << src.layout().pitch << ", destination with " << Where(pd) << ": " << diff;
          const std::vector<uint8_t> src_after = src.Image();
          diff = FirstDifference(src_before.data(), src_after.data(), src_after.size());
          ASSERT_TRUE(diff.empty()) << "path " << path() << ", format " << FormatName(format)
                                    << ", width " << width << ": source changed, " << diff;
        }
      }
    }
  }
}

TEST_P(Fences, NightStaysInsideTheRectangle) {
  Rng rng(0xFE4CE2);
  for (uint32_t format : kAllFormats) {
    for (int32_t width : kWidths) {
      for (int32_t height : kHeights) {
        for (const Placement& p : AllPlacements()) {
          FencedSurface s = Place(p, format, width, height);
          s.FillRandom(rng);
          FillRect(rng, s.first_row(), s.layout(), format, PixelMix{15, 30});
          std::vector<uint8_t> expected = s.Image();
          ModelNight(expected.data() + s.first_row_offset(), width, height, s.layout().pitch,
                     format);

          ASSERT_EQ(0,
                    glimfx::Night(isa(), s.first_row(), width, height, s.layout().pitch, format));
          const std::vector<uint8_t> got = s.Image();
          const std::string diff = FirstDifference(expected.data(), got.data(), got.size(),
                                                   s.layout(), s.first_row_offset());
          ASSERT_TRUE(diff.empty()) << "path " << path() << ", format " << FormatName(format)
                                    << ", width " << width << ", height " << height << ", pitch "
                                    << s.layout().pitch << ", " << Where(p) << ": " << diff;
        }
      }
    }
  }
}

// The destination pixels under an all-key pair, under a key pixel alone at
// the row's end, and under a 24/32-bit key pixel lie on a no-access page:
// the call faults if it reads or writes them.
TEST_P(Fences, DestinationUnderSkippedKeyPixelsIsNeverRead) {
  struct Case {
    uint32_t format;
    int32_t width;
    uint32_t src[4];
    int32_t open_pixels;  // pixels before the fence; the rest lie on it
  };
  const Case cases[] = {
      {kFormat555, 4, {0x1234, 0x8000, 0, 0}, 2},  // second pair all key
      {kFormat565, 4, {0xFFFF, 0x0001, 0, 0}, 2},
      {kFormat555, 3, {0x7FFF, 0x0421, 0}, 2},  // key pixel alone at the end
      {kFormat565, 3, {0x0000, 0xF800, 0}, 2},  // ...after a half-key pair
      {kFormat565, 1, {0}, 0},
      {kFormat24, 2, {0x808080, 0}, 1},
      {kFormat24, 3, {0, 0x000001, 0}, 2},
      {kFormat32, 2, {0x00000001, 0xFF000000}, 1},  // top byte alone is a key pixel
      {kFormat32, 3, {0xFFFFFFFF, 0x80FFFFFF, 0x01000000}, 2},
  };
  for (const Case& c : cases) {
    const int32_t bpp = BytesPerPixel(c.format);
    PageBlock block(2);
    block.Fence(1);
    uint8_t* row = block.Page(1) - c.open_pixels * bpp;
    uint8_t src[16];
    uint8_t expected[16];
    for (int32_t x = 0; x < c.open_pixels; ++x) PutPixel(row, x, bpp, 0x00A5A5A5u + x);
    std::memcpy(expected, row, static_cast<size_t>(c.open_pixels * bpp));
    for (int32_t x = 0; x < c.width; ++x) PutPixel(src, x, bpp, c.src[x]);
    ModelBlend(expected, src, c.open_pixels, 1, 0, 0, c.format);

    ASSERT_EQ(0, glimfx::Blend(isa(), row, src, c.width, 1, 0, 0, c.format));
    const std::string diff =
        FirstDifference(expected, row, static_cast<size_t>(c.open_pixels * bpp));
    EXPECT_TRUE(diff.empty()) << "path " << path() << ", format " << FormatName(c.format)
                              << ", width " << c.width << ": " << diff;
  }
}

// A stretch of key pixels a whole page long (many vectors of key lanes on
// every path) over a no-access page, with drawn pixels on both sides and the
// stretch starting and ending at every kind of place inside a vector: a
// vector row that reads or rewrites the destination under key lanes faults.
TEST_P(Fences, DestinationUnderKeyStretchesIsNeverTouched) {
  Rng rng(0xFE4CE3);
  const int32_t page = static_cast<int32_t>(PageSize());
  for (uint32_t format : kAllFormats) {
    const int32_t bpp = BytesPerPixel(format);
    const int32_t unit = bpp == 2 ? 2 : 1;  // 16-bit key lanes are whole pairs
    for (int32_t lead : {1, 6, 19, 40}) {
      for (int32_t trail : {1, 7, 26, 45}) {
        // Key pixels: every pixel with a byte on the fenced page, widened to
        // whole pairs in the 16-bit layouts.
        const int32_t first_key = lead / unit * unit;
        const int32_t end_key = ((lead * bpp + page + bpp - 1) / bpp + unit - 1) / unit * unit;
        const int32_t width = end_key + trail;
        PageBlock block(3);
        uint8_t* row = block.Page(1) - lead * bpp;
        std::vector<uint8_t> src(static_cast<size_t>(width * bpp));
        std::vector<uint8_t> expected(src.size());
        for (int32_t x = 0; x < width; ++x) {
          const bool key = x >= first_key && x < end_key;
          PutPixel(src.data(), x, bpp,
                   key ? RandomKeyPixel(rng, format) : RandomPixel(rng, format, PixelMix{0, 30}));
          const uint32_t d = RandomPixel(rng, format, PixelMix{10, 30});
          PutPixel(row, x, bpp, d);
          PutPixel(expected.data(), x, bpp, d);
        }
        block.Fence(1);
        ModelBlend(expected.data(), src.data(), width, 1, 0, 0, format);

        ASSERT_EQ(0, glimfx::Blend(isa(), row, src.data(), width, 1, 0, 0, format));
        const size_t open_before = static_cast<size_t>(lead * bpp);
        const size_t fence_end = open_before + static_cast<size_t>(page);
        std::string diff = FirstDifference(expected.data(), row, open_before);
        if (diff.empty()) {
          diff = FirstDifference(expected.data() + fence_end, block.Page(2),
                                 expected.size() - fence_end);
        }
        ASSERT_TRUE(diff.empty()) << "path " << path() << ", format " << FormatName(format)
                                  << ", width " << width << ", drawn " << first_key
                                  << " then key up to " << end_key << ": " << diff;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, Fences, ::testing::ValuesIn(kAllIsas), IsaParamName);

}  // namespace
}  // namespace glimfx_test
