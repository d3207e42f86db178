// Pictures as the demo sees them (8-bit RGB) and the raw surfaces a game
// would hand to glimfx, in any of the library's four pixel layouts.
#ifndef GLIMFX_TOOLS_DEMO_IMAGE_H_
#define GLIMFX_TOOLS_DEMO_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pixel_format.h"

namespace glimfx_demo {

using glimfx::BytesPerPixel;

struct Image {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;  // 3 bytes per pixel, rows top to bottom, no padding
};

// A surface owns its memory. Row r starts at Row0() + r * pitch; with a
// bottom-up surface the pitch is negative and row 0 is the last row in memory.
struct Surface {
  uint32_t format = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
  std::vector<uint8_t> memory;
  std::ptrdiff_t row0_offset = 0;

  uint8_t* Row0() { return memory.data() + row0_offset; }
  const uint8_t* Row0() const { return memory.data() + row0_offset; }
  // Address of pixel (x, y); the caller keeps (x, y) inside the surface.
  uint8_t* PixelAt(int32_t x, int32_t y);
};

// Packs an 8-bit colour into a layout by dropping low bits, as a game's
// surface would hold it. The 32-bit top byte is set to 0xFF.
uint32_t PackPixel(uint32_t format, uint8_t r, uint8_t g, uint8_t b);
// Widens a packed pixel back to 8 bits per channel, replicating the top bits
// into the low ones so that full scale maps to 255.
void UnpackPixel(uint32_t format, uint32_t packed, uint8_t* r, uint8_t* g, uint8_t* b);

// Rows are padded to a multiple of 4 bytes, like a device-independent bitmap.
Surface MakeSurface(const Image& image, uint32_t format, bool bottom_up);
Image ReadSurface(const Surface& surface);

}  // namespace glimfx_demo

#endif  // GLIMFX_TOOLS_DEMO_IMAGE_H_
