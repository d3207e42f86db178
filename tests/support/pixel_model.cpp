#include "pixel_model.h"

#include "surface.h"

namespace glimfx_test {
namespace {

struct Field {
  int shift;
  int bits;
};

// Colour fields of each layout, blue first. The 32-bit top byte is listed
// separately: it is no colour for the blend but is halved by the night rule.
struct Fields {
  Field f[3];
};

Fields ColourFields(uint32_t format) {
  switch (format) {
    case kFormat555:
      return {{{0, 5}, {5, 5}, {10, 5}}};
    case kFormat565:
      return {{{0, 5}, {5, 6}, {11, 5}}};
    default:
      return {{{0, 8}, {8, 8}, {16, 8}}};
  }
}

uint32_t Extract(uint32_t pixel, Field f) { return (pixel >> f.shift) & ((1u << f.bits) - 1); }
uint32_t Place(uint32_t value, Field f) { return value << f.shift; }

bool ValidFormat(uint32_t format) {
  return format == kFormat555 || format == kFormat565 || format == kFormat24 || format == kFormat32;
}

}  // namespace

bool ModelIsKey(uint32_t format, uint32_t src_pixel) {
  // Only the colour channels count in 32-bit; in 5-5-5 the whole word counts,
  // so a word with only bit 15 set is drawn as black.
  if (format == kFormat32) return (src_pixel & 0x00FFFFFFu) == 0;
  return src_pixel == 0;
}

uint32_t ModelBlendPixel(uint32_t format, uint32_t dest_pixel, uint32_t src_pixel) {
  const Fields fields = ColourFields(format);
  uint32_t out = 0;  // non-colour bits (5-5-5 bit 15, 32-bit top byte) end at 0
  for (const Field& f : fields.f) {
    const uint32_t d = Extract(dest_pixel, f);
    const uint32_t s = Extract(src_pixel, f);
    out |= Place(d / 2 + s / 2, f);
  }
  return out;
}

uint32_t ModelNightPixel(uint32_t format, uint32_t pixel, bool in_group) {
  const Fields fields = ColourFields(format);
  uint32_t blue = Extract(pixel, fields.f[0]) / 2;
  uint32_t green = Extract(pixel, fields.f[1]) / 2;
  uint32_t red = Extract(pixel, fields.f[2]) / 2;
  uint32_t out = 0;
  switch (format) {
    case kFormat555:
      red += 10;
      break;
    case kFormat565: {
      const bool positive = static_cast<int16_t>(static_cast<uint16_t>(pixel)) > 0;
      blue += (!in_group || positive) ? 1 : 0;
      break;
    }
    case kFormat24:
      red += 0x20;
      break;
    case kFormat32:
      red += 0x20;
      out |= ((pixel >> 24) / 2) << 24;
      break;
  }
  return out | Place(blue, fields.f[0]) | Place(green, fields.f[1]) | Place(red, fields.f[2]);
}

int32_t ModelBlend(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                   int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  if (!ValidFormat(format)) return -1;
  if (width <= 0 || height <= 0) return 0;
  const int32_t bpp = BytesPerPixel(format);
  // The 16-bit layouts go by pairs; a lone last pixel has no partner.
  const int32_t unit = format == kFormat555 || format == kFormat565 ? 2 : 1;
  // Rows first to last, units first to last, every value read from memory as
  // it stands at its turn: the source may lie under the destination.
  for (int32_t r = 0; r < height; ++r) {
    uint8_t* d = dest + static_cast<ptrdiff_t>(r) * dest_pitch;
    const uint8_t* s = src + static_cast<ptrdiff_t>(r) * src_pitch;
    for (int32_t x = 0; x < width; x += unit) {
      const int32_t n = width - x < unit ? width - x : unit;
      uint32_t sv[2], dv[2];
      bool drawn = false;
      for (int32_t i = 0; i < n; ++i) {
        sv[i] = GetPixel(s, x + i, bpp);
        drawn |= !ModelIsKey(format, sv[i]);
      }
      if (!drawn) continue;  // the destination is neither read nor written
      for (int32_t i = 0; i < n; ++i) dv[i] = GetPixel(d, x + i, bpp);
      // A key pixel beside a drawn one blends its destination with itself.
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t over = ModelIsKey(format, sv[i]) ? dv[i] : sv[i];
        PutPixel(d, x + i, bpp, ModelBlendPixel(format, dv[i], over));
      }
    }
  }
  return 0;
}

int32_t ModelNight(uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
                   uint32_t format) {
  if (!ValidFormat(format)) return -1;
  if (width <= 0 || height <= 0) return 0;
  const int32_t bpp = BytesPerPixel(format);
  const int32_t group_end = width / 4 * 4;
  for (int32_t r = 0; r < height; ++r) {
    uint8_t* row = surface + static_cast<ptrdiff_t>(r) * pitch;
    for (int32_t x = 0; x < width; ++x) {
      PutPixel(row, x, bpp, ModelNightPixel(format, GetPixel(row, x, bpp), x < group_end));
    }
  }
  return 0;
}

}  // namespace glimfx_test
