#include "pixel_gen.h"

namespace glimfx_test {
namespace {

uint32_t PixelMaskOf(uint32_t format) {
  switch (format) {
    case kFormat555:
    case kFormat565:
      return 0xFFFF;
    case kFormat24:
      return 0xFFFFFF;
    default:
      return 0xFFFFFFFF;
  }
}

}  // namespace

uint32_t RandomKeyPixel(Rng& rng, uint32_t format) {
  if (format == kFormat32 && rng.Chance(60)) return rng.Next32() & 0xFF000000u;
  return 0;
}

uint32_t RandomSpecialPixel(Rng& rng, uint32_t format) {
  static const uint32_t k555[] = {0x8000, 0x7FFF, 0xFFFF, 0x7C00, 0x03E0, 0x001F,
                                  0x0001, 0x4210, 0x8001, 0xFC00, 0x0421, 0x7BDE};
  static const uint32_t k565[] = {0x8000, 0xFFFF, 0x7FFF, 0xF800, 0x07E0, 0x001F, 0x0001,
                                  0x0000, 0x8421, 0x0821, 0xF7DE, 0x7BEF, 0xFFFE, 0x8001};
  static const uint32_t k24[] = {0xFFFFFF, 0x010101, 0x000001, 0x010000, 0x800000,
                                 0x808080, 0xFEFEFE, 0x7F7F7F, 0x0180FF};
  static const uint32_t k32[] = {0xFF000000, 0x01000000, 0x80000000, 0xFFFFFFFF, 0x00FFFFFF,
                                 0x80FFFFFF, 0x00000001, 0xFF010101, 0x7F808080, 0xFF336699};
  switch (format) {
    case kFormat555:
      return k555[rng.Below(sizeof k555 / sizeof k555[0])];
    case kFormat565:
      return k565[rng.Below(sizeof k565 / sizeof k565[0])];
    case kFormat24:
      return k24[rng.Below(sizeof k24 / sizeof k24[0])];
    default:
      return k32[rng.Below(sizeof k32 / sizeof k32[0])];
  }
}

uint32_t RandomPixel(Rng& rng, uint32_t format, const PixelMix& mix) {
  const uint32_t roll = rng.Below(100);
  if (roll < mix.key_percent) return RandomKeyPixel(rng, format);
  if (roll < mix.key_percent + mix.special_percent) return RandomSpecialPixel(rng, format);
  return rng.Next32() & PixelMaskOf(format);
}

void FillRect(Rng& rng, uint8_t* first_row, const RectLayout& layout, uint32_t format,
              const PixelMix& mix) {
  const bool paired = format == kFormat555 || format == kFormat565;
  for (int32_t r = 0; r < layout.height; ++r) {
    uint8_t* row = first_row + static_cast<ptrdiff_t>(r) * layout.pitch;
    for (int32_t x = 0; x < layout.width; ++x) {
      if (paired && (x & 1) == 0 && x + 1 < layout.width && rng.Chance(mix.key_percent / 2)) {
        PutPixel(row, x, layout.bpp, RandomKeyPixel(rng, format));
        PutPixel(row, x + 1, layout.bpp, RandomKeyPixel(rng, format));
        ++x;
        continue;
      }
      PutPixel(row, x, layout.bpp, RandomPixel(rng, format, mix));
    }
  }
}

Surface MakeSurface(Rng& rng, uint32_t format, int32_t width, int32_t height,
                    uint32_t negative_percent, const PixelMix& mix) {
  Surface s;
  s.layout.bpp = BytesPerPixel(format);
  s.layout.width = width;
  s.layout.height = height;
  // Gaps of 0..9 bytes, so pitches are often odd and rows start unaligned.
  const int32_t pitch = width * s.layout.bpp + rng.Between(0, 9);
  s.layout.pitch = rng.Chance(negative_percent) ? -pitch : pitch;
  s.margin = rng.Between(0, 7);
  s.bytes.resize(s.margin + s.layout.Span() + static_cast<size_t>(rng.Between(0, 7)));
  for (uint8_t& b : s.bytes) b = rng.NextByte();
  FillRect(rng, s.first_row(), s.layout, format, mix);
  return s;
}

}  // namespace glimfx_test
