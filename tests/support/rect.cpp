#include "rect.h"

#include <cstdio>
#include <cstdlib>

namespace glimfx_test {

const char* FormatName(uint32_t format) {
  switch (format) {
    case kFormat555:
      return "0 (5-5-5)";
    case kFormat565:
      return "1 (5-6-5)";
    case kFormat24:
      return "3 (24-bit)";
    case kFormat32:
      return "4 (32-bit)";
  }
  return "unsupported";
}

size_t RectLayout::FirstRowOffset() const {
  return pitch < 0 ? static_cast<size_t>(-static_cast<int64_t>(pitch) * (height - 1)) : 0;
}

size_t RectLayout::Span() const {
  const int64_t step = pitch < 0 ? -static_cast<int64_t>(pitch) : pitch;
  return static_cast<size_t>(step * (height - 1) + RowBytes());
}

uint32_t GetPixel(const uint8_t* row, int32_t x, int32_t bpp) {
  const uint8_t* p = row + static_cast<ptrdiff_t>(x) * bpp;
  uint32_t v = 0;
  for (int32_t i = 0; i < bpp; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

void PutPixel(uint8_t* row, int32_t x, int32_t bpp, uint32_t value) {
  uint8_t* p = row + static_cast<ptrdiff_t>(x) * bpp;
  for (int32_t i = 0; i < bpp; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

namespace {

size_t FirstDiffOffset(const uint8_t* expected, const uint8_t* actual, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (expected[i] != actual[i]) return i;
  }
  return size;
}

std::string DescribeByte(const uint8_t* expected, const uint8_t* actual, size_t at) {
  char text[128];
  std::snprintf(text, sizeof text,
                "first differing byte at offset %zu: expected 0x%02X, got 0x%02X", at, expected[at],
                actual[at]);
  return text;
}

}  // namespace

std::string FirstDifference(const uint8_t* expected, const uint8_t* actual, size_t size) {
  const size_t at = FirstDiffOffset(expected, actual, size);
  return at == size ? std::string() : DescribeByte(expected, actual, at);
}

std::string FirstDifference(const uint8_t* expected, const uint8_t* actual, size_t size,
                            const RectLayout& layout, size_t first_row_offset) {
  const size_t at = FirstDiffOffset(expected, actual, size);
  if (at == size) return std::string();
  std::string text = DescribeByte(expected, actual, at);
  const int64_t rel = static_cast<int64_t>(at) - static_cast<int64_t>(first_row_offset);
  for (int32_t r = 0; r < layout.height; ++r) {
    const int64_t in_row = rel - static_cast<int64_t>(r) * layout.pitch;
    if (in_row >= 0 && in_row < layout.RowBytes()) {
      char where[96];
      std::snprintf(where, sizeof where, " (row %d, pixel %d, byte %d of the pixel)", r,
                    static_cast<int>(in_row / layout.bpp), static_cast<int>(in_row % layout.bpp));
      return text + where;
    }
  }
  return text + " (outside the rectangle: a gap or margin byte)";
}

}  // namespace glimfx_test
