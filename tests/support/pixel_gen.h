// Random pixels biased towards the values that decide the rules: key pixels
// (often whole key pairs), 0x8000 in 5-5-5, a top byte alone in 32-bit, and
// channel extremes that show any carry between fields.
#ifndef GLIMFX_TESTS_SUPPORT_PIXEL_GEN_H_
#define GLIMFX_TESTS_SUPPORT_PIXEL_GEN_H_

#include <cstdint>
#include <vector>

#include "rect.h"
#include "rng.h"

namespace glimfx_test {

// How often, in percent, a generated pixel is a key pixel and a special value.
struct PixelMix {
  uint32_t key_percent = 30;
  uint32_t special_percent = 25;
};

// A value that the library treats as a key pixel of `format` (in 32-bit the
// top byte is random, so a top byte alone is a key pixel too).
uint32_t RandomKeyPixel(Rng& rng, uint32_t format);
// A special value: extremes and single-field values, 0x8000 in 5-5-5,
// a non-zero top byte alone in 32-bit, black in 5-6-5.
uint32_t RandomSpecialPixel(Rng& rng, uint32_t format);
uint32_t RandomPixel(Rng& rng, uint32_t format, const PixelMix& mix);

// Writes random pixels into every pixel of the rectangle; sometimes a whole
// aligned pair of key pixels, so the all-key skip is exercised often.
void FillRect(Rng& rng, uint8_t* first_row, const RectLayout& layout, uint32_t format,
              const PixelMix& mix);

// A plain buffer for one surface, with random margins before and after the
// rectangle and random gap bytes between rows.
struct Surface {
  RectLayout layout;
  size_t margin = 0;
  std::vector<uint8_t> bytes;

  uint8_t* first_row() { return bytes.data() + margin + layout.FirstRowOffset(); }
  size_t first_row_offset() const { return margin + layout.FirstRowOffset(); }
};

// A surface for `format` whose pitch is the row's bytes plus a random, often
// odd, gap, negated with probability `negative_percent` (in percent); a random
// margin shifts the rectangle off any alignment. Every byte is random.
Surface MakeSurface(Rng& rng, uint32_t format, int32_t width, int32_t height,
                    uint32_t negative_percent, const PixelMix& mix);

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_PIXEL_GEN_H_
