// The one surface type of the tests: a rectangle of pixels inside memory
// with no-access fence pages, so that any read or write outside its bytes
// faults at once; pixel access, the random filler and the first-difference
// report that every test shares.
#ifndef GLIMFX_TESTS_SUPPORT_SURFACE_H_
#define GLIMFX_TESTS_SUPPORT_SURFACE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pixel_format.h"
#include "rng.h"

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
std::string FirstDifference(const uint8_t* expected, const uint8_t* actual, size_t size,
                            const RectLayout* layout = nullptr, size_t first_row_offset = 0);

// How often, in percent, a pixel starts a run of 1..max_run key pixels or is
// a special value: extremes and single fields, 0x8000 in 5-5-5, a top byte
// alone in 32-bit, whatever shows a carry between fields.
struct PixelMix {
  uint32_t key_percent = 30;
  uint32_t special_percent = 25;
  uint32_t max_run = 4;
};

// A value the library treats as a key pixel of `format` (in 32-bit the top
// byte is random, so a top byte alone is a key pixel too).
uint32_t RandomKeyPixel(Rng& rng, uint32_t format);
// A key pixel, a special value or any value, as `mix` says.
uint32_t RandomPixel(Rng& rng, uint32_t format, const PixelMix& mix);
// Writes every pixel of the rectangle, key pixels in runs.
void FillRect(Rng& rng, uint8_t* first_row, const RectLayout& layout, uint32_t format,
              const PixelMix& mix);

size_t PageSize();

// Whole pages, readable and writable until fenced off (but where
// GLIMFX_TEST_READABLE_FENCES is set: see Fence).
class PageBlock {
 public:
  explicit PageBlock(size_t pages);
  ~PageBlock();
  PageBlock(const PageBlock&) = delete;
  PageBlock& operator=(const PageBlock&) = delete;

  uint8_t* Page(size_t i) const { return base_ + i * PageSize(); }
  size_t pages() const { return pages_; }
  void Fence(size_t i);
  bool IsFenced(size_t i) const { return fenced_[i]; }

 private:
  uint8_t* base_;
  size_t pages_;
  std::vector<bool> fenced_;
};

// Where a rectangle lies. Either all rows lie between two fences, `gap`
// bytes apart beyond their own bytes, or (per_row) every row has a page of
// its own with fences on both sides and the pitch is two pages. `margin`
// bytes separate the rectangle from the fence it is snug against: the one
// after its last byte, or (at_start) the one before its first byte.
struct Placement {
  int32_t gap = 0;
  bool upward = false;  // negative pitch
  int32_t margin = 0;
  bool per_row = false;
  bool at_start = false;
};

class Surface {
 public:
  Surface(int32_t bpp, int32_t width, int32_t height, const Placement& placement);

  uint8_t* first_row() const { return block_->Page(0) + first_row_offset_; }
  const RectLayout& layout() const { return layout_; }
  size_t first_row_offset() const { return first_row_offset_; }

  // Fills every accessible byte.
  void FillRandom(Rng& rng);
  // The whole block as bytes; fenced pages read as zero. A model run on the
  // image at first_row_offset() predicts the surface byte for byte.
  std::vector<uint8_t> Image() const;
  // The first difference of the surface from an image, located.
  std::string DifferenceFrom(const std::vector<uint8_t>& expected) const;

 private:
  std::shared_ptr<PageBlock> block_;
  RectLayout layout_;
  size_t first_row_offset_ = 0;
};

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_SURFACE_H_
