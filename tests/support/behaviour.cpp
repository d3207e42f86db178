#include "behaviour.h"

#include <cstdio>
#include <vector>

#include "pixel_gen.h"
#include "pixel_model.h"
#include "rect.h"
#include "rng.h"
#include "worked_examples.h"

namespace glimfx_test {
namespace {

std::string BlendContext(const std::string& path, uint32_t format, int32_t width, int32_t height,
                         int32_t src_pitch, int32_t dest_pitch) {
  char text[200];
  std::snprintf(text, sizeof text,
                "BltAlphaFast, path %s, format %s, width %d, height %d, srcPitch %d, "
                "destPitch %d",
                path.c_str(), FormatName(format), width, height, src_pitch, dest_pitch);
  return text;
}

std::string NightContext(const std::string& path, uint32_t format, int32_t width, int32_t height,
                         int32_t pitch) {
  char text[200];
  std::snprintf(text, sizeof text,
                "BltEfectoNoche, path %s, format %s, width %d, height %d, pitch %d", path.c_str(),
                FormatName(format), width, height, pitch);
  return text;
}

std::string WithSeed(const std::string& context, uint64_t seed) {
  char text[40];
  std::snprintf(text, sizeof text, ", seed 0x%llx", static_cast<unsigned long long>(seed));
  return context + text;
}

std::string ResultMismatch(const std::string& context, int32_t expected, int32_t got) {
  char text[80];
  std::snprintf(text, sizeof text, ": returned %d, expected %d", got, expected);
  return context + text;
}

// Two rows of a rectangle in a random buffer: a margin of 5 bytes, then rows
// `gap` bytes apart beyond their own bytes, then 5 more bytes.
Surface TwoRowSurface(Rng& rng, uint32_t format, int32_t width, int32_t gap) {
  Surface s;
  s.layout = RectLayout{width, 2, width * BytesPerPixel(format) + gap, BytesPerPixel(format)};
  s.margin = 5;
  s.bytes.resize(s.margin + s.layout.Span() + 5);
  for (uint8_t& b : s.bytes) b = rng.NextByte();
  return s;
}

}  // namespace

std::string CheckBlendExamples(const BlendFn& fn, const std::string& path) {
  Rng rng(0xA1FA);
  for (size_t i = 0; i < kBlendExampleCount; ++i) {
    const BlendExample& ex = kBlendExamples[i];
    Surface dest = TwoRowSurface(rng, ex.format, ex.width, 3);
    Surface src = TwoRowSurface(rng, ex.format, ex.width, 6);
    for (int32_t r = 0; r < 2; ++r) {
      for (int32_t x = 0; x < ex.width; ++x) {
        PutPixel(dest.first_row() + r * dest.layout.pitch, x, dest.layout.bpp, ex.dest[x]);
        PutPixel(src.first_row() + r * src.layout.pitch, x, src.layout.bpp, ex.src[x]);
      }
    }
    std::vector<uint8_t> expected = dest.bytes;
    for (int32_t r = 0; r < 2; ++r) {
      for (int32_t x = 0; x < ex.width; ++x) {
        PutPixel(expected.data() + dest.first_row_offset() + r * dest.layout.pitch, x,
                 dest.layout.bpp, ex.expected[x]);
      }
    }
    const std::vector<uint8_t> src_before = src.bytes;
    const std::string context =
        BlendContext(path, ex.format, ex.width, 2, src.layout.pitch, dest.layout.pitch) +
        ", worked example " + std::to_string(i + 1);
    const int32_t rc = fn(dest.first_row(), src.first_row(), ex.width, 2, src.layout.pitch,
                          dest.layout.pitch, ex.format);
    if (rc != 0) return ResultMismatch(context, 0, rc);
    std::string diff = FirstDifference(expected.data(), dest.bytes.data(), expected.size(),
                                       dest.layout, dest.first_row_offset());
    if (!diff.empty()) return context + ": destination " + diff;
    diff = FirstDifference(src_before.data(), src.bytes.data(), src_before.size());
    if (!diff.empty()) return context + ": source changed, " + diff;
  }
  return std::string();
}

std::string CheckNightExamples(const NightFn& fn, const std::string& path) {
  Rng rng(0x2A0C);
  for (size_t i = 0; i < kNightExampleCount; ++i) {
    const NightExample& ex = kNightExamples[i];
    for (int32_t width = 1; width <= 9; ++width) {
      Surface s = TwoRowSurface(rng, ex.format, width, 7);
      for (int32_t r = 0; r < 2; ++r) {
        for (int32_t x = 0; x < width; ++x) {
          PutPixel(s.first_row() + r * s.layout.pitch, x, s.layout.bpp, ex.before);
        }
      }
      std::vector<uint8_t> expected = s.bytes;
      const int32_t group_end = width / 4 * 4;
      for (int32_t r = 0; r < 2; ++r) {
        for (int32_t x = 0; x < width; ++x) {
          PutPixel(expected.data() + s.first_row_offset() + r * s.layout.pitch, x, s.layout.bpp,
                   x < group_end ? ex.in_group : ex.in_tail);
        }
      }
      const std::string context = NightContext(path, ex.format, width, 2, s.layout.pitch) +
                                  ", worked result " + std::to_string(i + 1);
      const int32_t rc = fn(s.first_row(), width, 2, s.layout.pitch, ex.format);
      if (rc != 0) return ResultMismatch(context, 0, rc);
      const std::string diff = FirstDifference(expected.data(), s.bytes.data(), expected.size(),
                                               s.layout, s.first_row_offset());
      if (!diff.empty()) return context + ": " + diff;
    }
  }
  return std::string();
}

std::string CheckNightRepeated(const NightFn& fn, const std::string& path) {
  uint8_t pixel[4] = {0xFF, 0xFF, 0xFF, 0x5A};  // the fourth byte lies outside the rectangle
  const uint8_t expected[][3] = {{0x7F, 0x7F, 0x9F}, {0x3F, 0x3F, 0x6F}, {0x1F, 0x1F, 0x57},
                                 {0x0F, 0x0F, 0x4B}, {0x07, 0x07, 0x45}, {0x03, 0x03, 0x42},
                                 {0x01, 0x01, 0x41}, {0x00, 0x00, 0x40}, {0x00, 0x00, 0x40}};
  for (size_t call = 0; call < sizeof expected / sizeof expected[0]; ++call) {
    const std::string context =
        NightContext(path, kFormat24, 1, 1, 3) + ", call " + std::to_string(call + 1);
    const int32_t rc = fn(pixel, 1, 1, 3, kFormat24);
    if (rc != 0) return ResultMismatch(context, 0, rc);
    const uint8_t want[4] = {expected[call][0], expected[call][1], expected[call][2], 0x5A};
    const std::string diff = FirstDifference(want, pixel, 4);
    if (!diff.empty()) return context + ": " + diff;
  }
  return std::string();
}

std::string CheckRejectsAndEmpty(const BlendFn& blend, const NightFn& night,
                                 const std::string& path) {
  Rng rng(0xBAD);
  const uint32_t bad_formats[] = {2, 5, 0xFFFFFFFFu, 0x80000000u, 0x100u};
  for (uint32_t format : bad_formats) {
    for (uint32_t layout_of : kAllFormats) {  // the surface's bytes, laid out as some format
      Surface dest = MakeSurface(rng, layout_of, 9, 3, 50, PixelMix{});
      Surface src = MakeSurface(rng, layout_of, 9, 3, 50, PixelMix{});
      const std::vector<uint8_t> dest_before = dest.bytes;
      const std::vector<uint8_t> src_before = src.bytes;
      std::string context = BlendContext(path, format, 9, 3, src.layout.pitch, dest.layout.pitch);
      int32_t rc = blend(dest.first_row(), src.first_row(), 9, 3, src.layout.pitch,
                         dest.layout.pitch, format);
      if (rc != -1) return ResultMismatch(context, -1, rc);
      std::string diff = FirstDifference(dest_before.data(), dest.bytes.data(), dest.bytes.size());
      if (diff.empty())
        diff = FirstDifference(src_before.data(), src.bytes.data(), src.bytes.size());
      if (!diff.empty()) return context + ": a rejected call touched memory, " + diff;

      context = NightContext(path, format, 9, 3, dest.layout.pitch);
      rc = night(dest.first_row(), 9, 3, dest.layout.pitch, format);
      if (rc != -1) return ResultMismatch(context, -1, rc);
      diff = FirstDifference(dest_before.data(), dest.bytes.data(), dest.bytes.size());
      if (!diff.empty()) return context + ": a rejected call touched memory, " + diff;
    }
  }
  for (uint32_t format : kAllFormats) {
    Surface dest = MakeSurface(rng, format, 4, 3, 0, PixelMix{});
    Surface src = MakeSurface(rng, format, 4, 3, 0, PixelMix{});
    const std::vector<uint8_t> dest_before = dest.bytes;
    std::string context = BlendContext(path, format, 0, 3, src.layout.pitch, dest.layout.pitch);
    int32_t rc =
        blend(dest.first_row(), src.first_row(), 0, 3, src.layout.pitch, dest.layout.pitch, format);
    if (rc != 0) return ResultMismatch(context, 0, rc);
    std::string diff = FirstDifference(dest_before.data(), dest.bytes.data(), dest.bytes.size());
    if (!diff.empty()) return context + ": width 0 touched memory, " + diff;

    context = NightContext(path, format, 0, 3, dest.layout.pitch);
    rc = night(dest.first_row(), 0, 3, dest.layout.pitch, format);
    if (rc != 0) return ResultMismatch(context, 0, rc);
    diff = FirstDifference(dest_before.data(), dest.bytes.data(), dest.bytes.size());
    if (!diff.empty()) return context + ": width 0 touched memory, " + diff;
  }
  return std::string();
}

std::string CompareBlendCase(const BlendFn& fn, const std::string& path, uint64_t seed,
                             uint32_t format, int32_t width, int32_t height) {
  Rng rng(seed);
  // Destinations hold fewer key values than sources, but black still occurs.
  Surface dest = MakeSurface(rng, format, width, height, 30, PixelMix{10, 30});
  Surface src = MakeSurface(rng, format, width, height, 30, PixelMix{35, 25});
  std::vector<uint8_t> expected = dest.bytes;
  const std::vector<uint8_t> src_before = src.bytes;
  const std::string context = WithSeed(
      BlendContext(path, format, width, height, src.layout.pitch, dest.layout.pitch), seed);
  ModelBlend(expected.data() + dest.first_row_offset(), src.first_row(), width, height,
             src.layout.pitch, dest.layout.pitch, format);
  const int32_t rc = fn(dest.first_row(), src.first_row(), width, height, src.layout.pitch,
                        dest.layout.pitch, format);
  if (rc != 0) return ResultMismatch(context, 0, rc);
  std::string diff = FirstDifference(expected.data(), dest.bytes.data(), expected.size(),
                                     dest.layout, dest.first_row_offset());
  if (!diff.empty()) return context + ": destination " + diff;
  diff = FirstDifference(src_before.data(), src.bytes.data(), src_before.size());
  if (!diff.empty()) return context + ": source changed, " + diff;
  return std::string();
}

std::string CompareNightCase(const NightFn& fn, const std::string& path, uint64_t seed,
                             uint32_t format, int32_t width, int32_t height) {
  Rng rng(seed);
  Surface s = MakeSurface(rng, format, width, height, 30, PixelMix{15, 30});
  std::vector<uint8_t> expected = s.bytes;
  const std::string context =
      WithSeed(NightContext(path, format, width, height, s.layout.pitch), seed);
  ModelNight(expected.data() + s.first_row_offset(), width, height, s.layout.pitch, format);
  const int32_t rc = fn(s.first_row(), width, height, s.layout.pitch, format);
  if (rc != 0) return ResultMismatch(context, 0, rc);
  const std::string diff = FirstDifference(expected.data(), s.bytes.data(), expected.size(),
                                           s.layout, s.first_row_offset());
  return diff.empty() ? diff : context + ": " + diff;
}

std::string CheckBlendRandom(const BlendFn& fn, const std::string& path, uint64_t seed, int count) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const uint32_t format = kAllFormats[i % 4];
    const int32_t width = i < 4 * 71 ? i / 4 : rng.Between(0, 70);  // every width at least once
    const int32_t height = rng.Between(1, 5);
    std::string failure = CompareBlendCase(fn, path, rng.Next64(), format, width, height);
    if (!failure.empty()) return failure;
  }
  return std::string();
}

std::string CheckNightRandom(const NightFn& fn, const std::string& path, uint64_t seed, int count) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const uint32_t format = kAllFormats[i % 4];
    const int32_t width = i < 4 * 71 ? i / 4 : rng.Between(0, 70);
    const int32_t height = rng.Between(1, 5);
    std::string failure = CompareNightCase(fn, path, rng.Next64(), format, width, height);
    if (!failure.empty()) return failure;
  }
  return std::string();
}

}  // namespace glimfx_test
