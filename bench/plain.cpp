#include "plain.h"

#include <cstddef>

#include "glimfx.h"

namespace glimfx_bench {
namespace {

int32_t BytesPerPixel(uint32_t format) {
  return format == GLIMFX_FORMAT_24 ? 3 : format == GLIMFX_FORMAT_32 ? 4 : 2;
}

uint32_t ReadLe(const uint8_t* p, int32_t bytes) {
  uint32_t v = 0;
  for (int32_t k = 0; k < bytes; ++k) v |= uint32_t{p[k]} << (8 * k);
  return v;
}

void WriteLe(uint8_t* p, int32_t bytes, uint32_t v) {
  for (int32_t k = 0; k < bytes; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

}  // namespace

void PlainBlend(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height, int32_t src_pitch,
                int32_t dest_pitch, uint32_t format) {
  const int32_t bpp = BytesPerPixel(format);
  const int32_t src_skip = src_pitch - bpp * width, dest_skip = dest_pitch - bpp * width;
  for (int32_t r = 0; r < height; ++r) {
    if (bpp == 2) {
      const uint32_t m = format == GLIMFX_FORMAT_555 ? 0x3DEF3DEF : 0x7BEF7BEF;
      for (int32_t i = 0; i < width / 2; ++i, dest += 4, src += 4) {
        uint32_t s = ReadLe(src, 4);
        if (s == 0) continue;
        const uint32_t d = ReadLe(dest, 4);
        if ((s >> 16) == 0) s |= d & 0xFFFF0000u;
        if ((s & 0xFFFF) == 0) s |= d & 0xFFFF;
        WriteLe(dest, 4, ((d >> 1) & m) + ((s >> 1) & m));
      }
      if (width % 2 == 1) {
        const uint32_t s = ReadLe(src, 2);
        if (s != 0) {
          const uint32_t d = ReadLe(dest, 2);
          WriteLe(dest, 2, ((s >> 1) & (m & 0xFFFF)) + ((d >> 1) & (m & 0xFFFF)));
        }
        dest += 2;
        src += 2;
      }
    } else {
      for (int32_t i = 0; i < width; ++i, dest += bpp, src += bpp) {
        const uint32_t s = ReadLe(src, bpp);
        if ((s & 0xFFFFFF) == 0) continue;
        const uint32_t d = ReadLe(dest, bpp);
        WriteLe(dest, bpp, ((d >> 1) & 0x7F7F7F) + ((s >> 1) & 0x7F7F7F));
      }
    }
    if (r + 1 < height) {
      dest += dest_skip;
      src += src_skip;
    }
  }
}

void PlainNight(uint8_t* surface, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
  const int32_t bpp = BytesPerPixel(format);
  for (int32_t r = 0; r < height; ++r) {
    uint8_t* p = surface + static_cast<ptrdiff_t>(r) * pitch;
    for (int32_t x = 0; x < width; ++x, p += bpp) {
      const uint32_t v = ReadLe(p, bpp);
      uint32_t out;
      if (format == GLIMFX_FORMAT_555) {
        out = ((v >> 1) & 0x3DEF) + 0x2800;
      } else if (format == GLIMFX_FORMAT_565) {
        const bool in_group = x < width / 4 * 4;
        const uint32_t k = in_group ? (v != 0 && v < 0x8000 ? 1 : 0) : 1;
        out = (in_group ? (v & 0xF7DE) >> 1 : (v >> 1) & 0x7BEF) + k;
      } else if (format == GLIMFX_FORMAT_24) {
        out = ((v >> 1) & 0x7F7F7F) + 0x200000;
      } else {
        out = ((v >> 1) & 0x7F7F7F7F) + 0x200000;
      }
      WriteLe(p, bpp, out);
    }
  }
}

}  // namespace glimfx_bench
