// Calls on disjoint rectangles of one surface, from several threads at once,
// give the same bytes as the same calls made one after another. Neighbouring
// rectangles share rows and even 32-bit words, so a path that touches a byte
// outside its rectangle races with its neighbour.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "isa_param.h"
#include "pixel_gen.h"
#include "pixel_model.h"
#include "rect.h"

namespace glimfx_test {
namespace {

using Threads = PathTest;

constexpr int32_t kThreads = 4;
constexpr int32_t kStripWidth = 37;  // odd: strips start on odd pixels, mid-word
constexpr int32_t kHeight = 9;
constexpr int kRounds = 60;

TEST_P(Threads, DisjointRectanglesOfOneSurface) {
  for (uint32_t format : kAllFormats) {
    Rng rng(0x7E4D + format);
    const int32_t bpp = BytesPerPixel(format);
    const int32_t surface_width = kThreads * kStripWidth;
    const int32_t pitch = surface_width * bpp + 5;
    std::vector<uint8_t> dest(static_cast<size_t>(pitch) * kHeight);
    std::vector<uint8_t> src(dest.size());
    for (uint8_t& b : dest) b = rng.NextByte();
    for (uint8_t& b : src) b = rng.NextByte();
    const RectLayout whole{surface_width, kHeight, pitch, bpp};
    FillRect(rng, dest.data(), whole, format, PixelMix{10, 30});
    FillRect(rng, src.data(), whole, format, PixelMix{35, 25});

    // Each strip is blended from the source and darkened, round after round.
    std::vector<uint8_t> expected = dest;
    for (int32_t t = 0; t < kThreads; ++t) {
      const size_t offset = static_cast<size_t>(t * kStripWidth * bpp);
      for (int round = 0; round < kRounds; ++round) {
        ModelBlend(expected.data() + offset, src.data() + offset, kStripWidth, kHeight, pitch,
                   pitch, format);
        ModelNight(expected.data() + offset, kStripWidth, kHeight, pitch, format);
      }
    }

    const glimfx::Isa forced = isa();
    std::vector<std::thread> workers;
    std::vector<int32_t> failures(kThreads, 0);
    for (int32_t t = 0; t < kThreads; ++t) {
      workers.emplace_back([&, t] {
        const size_t offset = static_cast<size_t>(t * kStripWidth * bpp);
        for (int round = 0; round < kRounds; ++round) {
          failures[t] += glimfx::Blend(forced, dest.data() + offset, src.data() + offset,
                                       kStripWidth, kHeight, pitch, pitch, format) != 0;
          failures[t] +=
              glimfx::Night(forced, dest.data() + offset, kStripWidth, kHeight, pitch, format) != 0;
        }
      });
    }
    for (std::thread& w : workers) w.join();
    for (int32_t t = 0; t < kThreads; ++t) EXPECT_EQ(0, failures[t]) << "thread " << t;
    const std::string diff = FirstDifference(expected.data(), dest.data(), dest.size(), whole, 0);
    EXPECT_TRUE(diff.empty()) << "path " << path() << ", format " << FormatName(format)
                              << ", strips of width " << kStripWidth << ", pitch " << pitch << ": "
                              << diff;
  }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, Threads, ::testing::ValuesIn(kAllIsas), IsaParamName);

}  // namespace
}  // namespace glimfx_test
