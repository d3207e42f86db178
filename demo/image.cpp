#include "image.h"

#include <cstring>

namespace glimfx_demo {

namespace {

// Filler for the padding at the end of each row, so a library that wrote
// past a row would show up in the pictures' neighbours rather than vanish.
constexpr uint8_t kPaddingByte = 0xA5;

uint8_t Widen5(uint32_t v) { return static_cast<uint8_t>(v << 3 | v >> 2); }
uint8_t Widen6(uint32_t v) { return static_cast<uint8_t>(v << 2 | v >> 4); }

void StorePacked(uint8_t* p, int32_t bytes, uint32_t v) {
  for (int32_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t LoadPacked(const uint8_t* p, int32_t bytes) {
  uint32_t v = 0;
  for (int32_t i = 0; i < bytes; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

}  // namespace

uint8_t* Surface::PixelAt(int32_t x, int32_t y) {
  return Row0() + static_cast<std::ptrdiff_t>(y) * pitch +
         static_cast<std::ptrdiff_t>(x) * BytesPerPixel(format);
}

uint32_t PackPixel(uint32_t format, uint8_t r, uint8_t g, uint8_t b) {
  switch (format) {
    case glimfx::kFormat555:
      return uint32_t{r} >> 3 << 10 | uint32_t{g} >> 3 << 5 | uint32_t{b} >> 3;
    case glimfx::kFormat565:
      return uint32_t{r} >> 3 << 11 | uint32_t{g} >> 2 << 5 | uint32_t{b} >> 3;
    case glimfx::kFormat24:
      return uint32_t{r} << 16 | uint32_t{g} << 8 | b;
    default:
      return 0xFF000000u | uint32_t{r} << 16 | uint32_t{g} << 8 | b;
  }
}

void UnpackPixel(uint32_t format, uint32_t packed, uint8_t* r, uint8_t* g, uint8_t* b) {
  switch (format) {
    case glimfx::kFormat555:
      *r = Widen5(packed >> 10 & 0x1F);
      *g = Widen5(packed >> 5 & 0x1F);
      *b = Widen5(packed & 0x1F);
      break;
    case glimfx::kFormat565:
      *r = Widen5(packed >> 11 & 0x1F);
      *g = Widen6(packed >> 5 & 0x3F);
      *b = Widen5(packed & 0x1F);
      break;
    default:
      *r = static_cast<uint8_t>(packed >> 16);
      *g = static_cast<uint8_t>(packed >> 8);
      *b = static_cast<uint8_t>(packed);
      break;
  }
}

Surface MakeSurface(const Image& image, uint32_t format, bool bottom_up) {
  Surface s;
  s.format = format;
  s.width = image.width;
  s.height = image.height;
  const int32_t bpp = BytesPerPixel(format);
  const int32_t stride = (image.width * bpp + 3) / 4 * 4;
  s.memory.assign(static_cast<size_t>(stride) * static_cast<size_t>(image.height), kPaddingByte);
  s.pitch = bottom_up ? -stride : stride;
  s.row0_offset = bottom_up ? static_cast<std::ptrdiff_t>(image.height - 1) * stride : 0;
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* in = image.rgb.data() + static_cast<size_t>(y) * image.width * 3;
    for (int32_t x = 0; x < image.width; ++x, in += 3) {
      StorePacked(s.PixelAt(x, y), bpp, PackPixel(format, in[0], in[1], in[2]));
    }
  }
  return s;
}

Image ReadSurface(const Surface& surface) {
  Image image;
  image.width = surface.width;
  image.height = surface.height;
  image.rgb.resize(static_cast<size_t>(surface.width) * surface.height * 3);
  const int32_t bpp = BytesPerPixel(surface.format);
  uint8_t* out = image.rgb.data();
  for (int32_t y = 0; y < surface.height; ++y) {
    const uint8_t* row = surface.Row0() + static_cast<std::ptrdiff_t>(y) * surface.pitch;
    for (int32_t x = 0; x < surface.width; ++x, out += 3) {
      UnpackPixel(surface.format, LoadPacked(row + x * bpp, bpp), &out[0], &out[1], &out[2]);
    }
  }
  return image;
}

}  // namespace glimfx_demo
