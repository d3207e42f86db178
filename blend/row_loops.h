// Walks the rows of a rectangle: row r starts r pitches after the first. The
// pointers are not stepped past the last row, so nothing outside is formed.
#ifndef GLIMFX_BLEND_ROW_LOOPS_H_
#define GLIMFX_BLEND_ROW_LOOPS_H_

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

// Rows go to `first` until it returns true for one, then the rest to `rest`:
// two loops, so neither row pays a test of which to call.
template <typename First, typename Rest>
static inline void WalkRowsSwitching(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                                     int32_t s_pitch, int32_t d_pitch, First first, Rest rest) {
  int32_t r = 0;
  for (;;) {
    const bool done = first(d, s, width);
    if (++r == height) return;
    d += d_pitch;
    s += s_pitch;
    if (done) break;
  }
  for (;;) {
    rest(d, s, width);
    if (++r == height) return;
    d += d_pitch;
    s += s_pitch;
  }
}

// A whole rectangle walked with `kRow` inlined into the loop, so a row costs
// no call. Every path builds its rectangles this way, but for the masked
// blends (BlendMaskedRect), which walk with WalkRows or WalkRowsSwitching.
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
