// Unaligned little-endian loads and stores of packed pixels. memcpy keeps
// them free of alignment and aliasing assumptions; compilers emit one move.
#ifndef GLIMFX_BLEND_PIXEL_IO_H_
#define GLIMFX_BLEND_PIXEL_IO_H_

#include <cstdint>
#include <cstring>

namespace glimfx {

static inline uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
static inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
static inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
// Reads exactly three bytes, never the fourth.
static inline uint32_t Load24(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
}

static inline void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, sizeof v); }
static inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, sizeof v); }
static inline void Store64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, sizeof v); }
// Writes exactly three bytes, never the fourth.
static inline void Store24(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
}

}  // namespace glimfx

#endif  // GLIMFX_BLEND_PIXEL_IO_H_
