// Where the rows of a rectangle lie in a buffer, and pixel access through
// that layout. Shared by the model, the generators and the tests.
#ifndef GLIMFX_TESTS_SUPPORT_RECT_H_
#define GLIMFX_TESTS_SUPPORT_RECT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "pixel_format.h"

namespace glimfx_test {

using glimfx::BytesPerPixel;
using glimfx::kAllFormats;
using glimfx::kFormat24;
using glimfx::kFormat32;
using glimfx::kFormat555;
using glimfx::kFormat565;

const char* FormatName(uint32_t format);

// One surface's view of a rectangle: row r starts at first_row + r * pitch.
struct RectLayout {
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
  int32_t bpp = 2;

  int32_t RowBytes() const { return width * bpp; }
  // Distance from the lowest byte of the rectangle to the first byte of row 0.
  size_t FirstRowOffset() const;
  // Bytes from the lowest to one past the highest byte the rectangle covers.
  size_t Span() const;
};

// Reads and writes pixel x of a row as a little-endian value of bpp bytes.
uint32_t GetPixel(const uint8_t* row, int32_t x, int32_t bpp);
void PutPixel(uint8_t* row, int32_t x, int32_t bpp, uint32_t value);

// Empty when the buffers are equal; otherwise names the first differing byte
// (offset, expected and actual value), and its row and pixel when `layout`
// and `first_row_offset` locate a rectangle in the buffers.
std::string FirstDifference(const uint8_t* expected, const uint8_t* actual, size_t size);
std::string FirstDifference(const uint8_t* expected, const uint8_t* actual, size_t size,
                            const RectLayout& layout, size_t first_row_offset);

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_RECT_H_
