// Rectangles placed against no-access fence pages: any read or write outside
// a rectangle's bytes (past a row's end, before its start, into the gap
// between rows) faults, and so does reading a destination pixel that the
// rules say is not read.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "isa_param.h"
#include "pixel_model.h"

namespace glimfx_test {
namespace {

using Fences = PathTest;

constexpr int32_t kWidths[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 70};

// Fences around every row or around all rows, rows apart or not, snug
// against the fence before or after, each pitch sign.
std::vector<Placement> AllPlacements() {
  std::vector<Placement> all;
  for (bool at_start : {false, true}) {
    for (bool upward : {false, true}) {
      all.push_back({0, upward, 0, true, at_start});
      for (int32_t gap : {0, 3}) all.push_back({gap, upward, 0, false, at_start});
    }
  }
  return all;
}

void CheckEveryPlacement(const Target& target, Routine routine) {
  Rng rng(routine == Routine::kBlend ? 0xFE4CE1 : 0xFE4CE2);
  const std::vector<Placement> placements = AllPlacements();
  for (uint32_t format : kAllFormats) {
    for (int32_t width : kWidths) {
      for (int32_t height : {1, 3}) {
        for (size_t i = 0; i < placements.size(); ++i) {
          Case c = RandomCase(rng, routine, format, width, height);
          c.dest = placements[i];
          // The source takes another placement, so the surfaces step apart.
          c.src = placements[(i + 3) % placements.size()];
          ASSERT_EQ("", CheckCase(target, c));
        }
      }
    }
  }
}

TEST_P(Fences, HalfBlendStaysInsideBothRectangles) {
  CheckEveryPlacement(target(), Routine::kBlend);
}

TEST_P(Fences, NightStaysInsideTheRectangle) { CheckEveryPlacement(target(), Routine::kNight); }

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

INSTANTIATE_TEST_SUITE_P(AllPaths, Fences, ::testing::ValuesIn(kAllIsas), IsaParamName);

}  // namespace
}  // namespace glimfx_test
