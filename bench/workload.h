// The workloads every benchmark times, shared by the Linux benchmark and the
// Windows driver: plain buffers and the public format codes, nothing else.
#ifndef GLIMFX_BENCH_WORKLOAD_H_
#define GLIMFX_BENCH_WORKLOAD_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "glimfx.h"

namespace glimfx_bench {

// Workload buffers start on a 64-byte boundary in every build: the C
// libraries' own alignment differs (8 bytes in 32-bit Windows programs, 16
// elsewhere), and where a buffer starts decides how many vectors straddle
// cache lines, which would otherwise weigh in comparisons between builds.
template <class T>
struct LineAligned {
  using value_type = T;
  LineAligned() = default;
  template <class U>
  LineAligned(const LineAligned<U>&) {}
  T* allocate(size_t n) {
    return static_cast<T*>(::operator new (n * sizeof(T), std::align_val_t{64}));
  }
  void deallocate(T* p, size_t) { ::operator delete (p, std::align_val_t{64}); }
  bool operator==(const LineAligned&) const { return true; }
  bool operator!=(const LineAligned&) const { return false; }
};
using AlignedBytes = std::vector<uint8_t, LineAligned<uint8_t>>;

struct Size {
  int32_t w, h;
  const char* name;
};
// From L1-sized to memory-sized.
constexpr Size kSizes[] = {{16, 16, "16x16"},         {32, 32, "32x32"},
                           {64, 64, "64x64"},         {640, 480, "640x480"},
                           {1920, 1080, "1920x1080"}, {3840, 2160, "3840x2160"}};

struct Layout {
  uint32_t format;
  const char* name;
  int32_t bpp;
};
constexpr Layout kLayouts[] = {{GLIMFX_FORMAT_565, "565", 2},
                               {GLIMFX_FORMAT_555, "555", 2},
                               {GLIMFX_FORMAT_24, "24", 3},
                               {GLIMFX_FORMAT_32, "32", 4}};

enum class Op { kBlendOpaque, kBlendSprite, kNight };
constexpr Op kOps[] = {Op::kBlendOpaque, Op::kBlendSprite, Op::kNight};
const char* OpName(Op op);

// One rectangle: destination and source of the same size (the night effect
// uses the source only for the memcpy floor), rows packed (pitch = row bytes). Opaque sources have
// no key pixel; sprite sources alternate key runs of 4..60 with drawn runs of 4..92 (about 40 %
// key).
struct RectWorkload {
  Size size;
  Layout layout;
  Op op;
  int32_t pitch;
  AlignedBytes src, dst;

  std::string Name() const;
  int64_t Pixels() const { return int64_t{size.w} * size.h; }
  size_t Bytes() const { return dst.size(); }
};
// Pixels are drawn from a generator seeded by the workload's name, so every
// build and every run times the same bytes.
std::unique_ptr<RectWorkload> MakeRect(const Size& size, const Layout& layout, Op op);

// A game frame: 400 sprites of 16..96 pixels a side, keyed like the sprite
// sources, blended at fixed pseudo-random places into an 800x600 frame.
struct Sprite {
  int32_t x, y, w, h, pitch;
  AlignedBytes pixels;
};
struct Frame {
  static constexpr int32_t kWidth = 800, kHeight = 600, kSprites = 400;
  Layout layout;
  int32_t pitch;
  AlignedBytes dst;
  std::vector<Sprite> sprites;

  std::string Name() const;
  int64_t Pixels() const;  // sprite pixels blended per frame
  uint8_t* At(const Sprite& s) {
    return dst.data() + static_cast<ptrdiff_t>(s.y) * pitch +
           static_cast<ptrdiff_t>(s.x) * layout.bpp;
  }
};
std::unique_ptr<Frame> MakeFrame(const Layout& layout);

}  // namespace glimfx_bench

#endif  // GLIMFX_BENCH_WORKLOAD_H_
