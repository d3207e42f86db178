// The other libraries timed on the same memory: SDL2 (colour key 0, alpha mod
// 128, with and without RLE) and pixman (OVER through a solid 50 % mask).
// Neither has a night effect; their night entries time the nearest thing
// each has, a 50 % fill of the tint colour.
#ifndef GLIMFX_BENCH_PEERS_H_
#define GLIMFX_BENCH_PEERS_H_

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <pixman.h>

#include <memory>
#include <vector>

#include "workload.h"

namespace glimfx_bench {

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
struct RendererFree {
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct ImageUnref {
  void operator()(pixman_image_t* i) const { pixman_image_unref(i); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;
using RendererPtr = std::unique_ptr<SDL_Renderer, RendererFree>;
using ImagePtr = std::unique_ptr<pixman_image_t, ImageUnref>;

// Views of one rectangle workload's buffers (the RLE source keeps its own
// copy, since encoding takes the pixels over).
class RectPeers {
 public:
  explicit RectPeers(RectWorkload& w);
  bool HasSdl() const { return sdl_src_ != nullptr || night_fill_ != nullptr; }
  bool HasSdlRle() const { return sdl_src_rle_ != nullptr; }
  void Sdl();
  void SdlRle();
  void Pixman();

 private:
  const RectWorkload& w_;
  AlignedBytes rle_pixels_;
  SurfacePtr sdl_dst_, sdl_src_, sdl_src_rle_;
  RendererPtr night_fill_;
  ImagePtr px_dst_, px_src_, px_mask_;
};

// The frame's sprites as RLE-encoded SDL2 surfaces, blitted into the frame.
class FramePeers {
 public:
  explicit FramePeers(Frame& f);
  void SdlRle();

 private:
  const Frame& f_;
  SurfacePtr sdl_dst_;
  std::vector<AlignedBytes> pixels_;
  std::vector<SurfacePtr> sprites_;
};

}  // namespace glimfx_bench

#endif  // GLIMFX_BENCH_PEERS_H_
