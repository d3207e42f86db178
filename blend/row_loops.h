// The rows of a rectangle: row r starts r pitches after the first. Nothing
// outside the rectangle is formed, no pointer past its last row either.
#ifndef GLIMFX_BLEND_ROW_LOOPS_H_
#define GLIMFX_BLEND_ROW_LOOPS_H_

#include <cstddef>
#include <cstdint>

namespace glimfx {

template <typename Row>
static inline void WalkRows(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                            int32_t s_pitch, int32_t d_pitch, Row row) {
  for (int32_t r = 0;;) {
    row(d, s, width);
    if (++r == height) break;
    d += d_pitch;
    s += s_pitch;
  }
}

template <typename Row>
static inline void WalkRows(uint8_t* p, int32_t width, int32_t height, int32_t pitch, Row row) {
  for (int32_t r = 0;;) {
    row(p, width);
    if (++r == height) break;
    p += pitch;
  }
}

// Row r of a surface. The pointer to a row past the last is never formed.
template <typename T>
static inline T* RowAt(T* first, int32_t r, int32_t pitch) {
  return first + static_cast<ptrdiff_t>(r) * pitch;
}

// A whole rectangle walked with `kRow` inlined into the loop, so a row costs
// no call: the scalar rows and the night effect's.
template <void (*kRow)(uint8_t*, const uint8_t*, int32_t)>
static inline void WalkRect(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                            int32_t s_pitch, int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { kRow(dr, sr, w); });
}

template <void (*kRow)(uint8_t*, int32_t)>
static inline void WalkRect(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRows(p, width, height, pitch, [](uint8_t* row, int32_t w) { kRow(row, w); });
}

}  // namespace glimfx

#endif  // GLIMFX_BLEND_ROW_LOOPS_H_
