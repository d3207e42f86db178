#include "peers.h"

namespace glimfx_bench {
namespace {

uint32_t SdlFormat(const Layout& l) {
  switch (l.format) {
    case GLIMFX_FORMAT_565:
      return SDL_PIXELFORMAT_RGB565;
    case GLIMFX_FORMAT_555:
      return SDL_PIXELFORMAT_RGB555;
    case GLIMFX_FORMAT_24:
      return SDL_PIXELFORMAT_BGR24;
    default:
      return SDL_PIXELFORMAT_RGB888;
  }
}

pixman_format_code_t PixmanFormat(const Layout& l) {
  switch (l.format) {
    case GLIMFX_FORMAT_565:
      return PIXMAN_r5g6b5;
    case GLIMFX_FORMAT_555:
      return PIXMAN_x1r5g5b5;
    case GLIMFX_FORMAT_24:
      return PIXMAN_r8g8b8;
    default:
      return PIXMAN_x8r8g8b8;
  }
}

SurfacePtr Wrap(uint8_t* pixels, int32_t w, int32_t h, int32_t pitch, const Layout& l) {
  const int32_t depth = l.bpp == 2 ? 16 : l.bpp * 8;
  return SurfacePtr(SDL_CreateRGBSurfaceWithFormatFrom(pixels, w, h, depth, pitch, SdlFormat(l)));
}

// Key 0 and a 50 % blend, optionally run-length encoded; the first blit
// encodes the runs, so it is done here, outside the timings.
SurfacePtr KeyedSurface(uint8_t* pixels, int32_t w, int32_t h, int32_t pitch, const Layout& l,
                        bool rle, SDL_Surface* dst) {
  SurfacePtr s = Wrap(pixels, w, h, pitch, l);
  SDL_SetColorKey(s.get(), rle ? SDL_TRUE | SDL_RLEACCEL : SDL_TRUE, 0);
  SDL_SetSurfaceAlphaMod(s.get(), 128);
  SDL_SetSurfaceBlendMode(s.get(), SDL_BLENDMODE_BLEND);
  if (rle) {
    SDL_Rect r = {0, 0, w, h};
    SDL_Rect d = r;
    SDL_LowerBlit(s.get(), &r, dst, &d);
  }
  return s;
}

void Blit(SDL_Surface* src, SDL_Surface* dst, int32_t x, int32_t y) {
  SDL_Rect r = {0, 0, src->w, src->h};
  SDL_Rect d = {x, y, src->w, src->h};
  SDL_LowerBlit(src, &r, dst, &d);
}

}  // namespace

RectPeers::RectPeers(RectWorkload& w) : w_(w) {
  const int32_t width = w.size.w, height = w.size.h;
  sdl_dst_ = Wrap(w.dst.data(), width, height, w.pitch, w.layout);
  px_dst_.reset(pixman_image_create_bits(PixmanFormat(w.layout), width, height,
                                         reinterpret_cast<uint32_t*>(w.dst.data()), w.pitch));
  if (w.op == Op::kNight) {
    // SDL2's software renderer cannot draw into 24-bit surfaces.
    if (w.layout.format != GLIMFX_FORMAT_24) {
      night_fill_.reset(SDL_CreateSoftwareRenderer(sdl_dst_.get()));
      SDL_SetRenderDrawBlendMode(night_fill_.get(), SDL_BLENDMODE_BLEND);
      SDL_SetRenderDrawColor(night_fill_.get(), 0x40, 0, 0, 128);
    }
    const pixman_color_t tint = {0x2000, 0, 0, 0x8000};
    px_src_.reset(pixman_image_create_solid_fill(&tint));
    return;
  }
  sdl_src_ = KeyedSurface(w.src.data(), width, height, w.pitch, w.layout, false, sdl_dst_.get());
  rle_pixels_ = w.src;
  sdl_src_rle_ =
      KeyedSurface(rle_pixels_.data(), width, height, w.pitch, w.layout, true, sdl_dst_.get());
  px_src_.reset(pixman_image_create_bits(PixmanFormat(w.layout), width, height,
                                         reinterpret_cast<uint32_t*>(w.src.data()), w.pitch));
  const pixman_color_t half = {0, 0, 0, 0x8000};
  px_mask_.reset(pixman_image_create_solid_fill(&half));
}

void RectPeers::Sdl() {
  if (night_fill_ != nullptr) {
    SDL_RenderFillRect(night_fill_.get(), nullptr);
    SDL_RenderFlush(night_fill_.get());
  } else {
    Blit(sdl_src_.get(), sdl_dst_.get(), 0, 0);
  }
}

void RectPeers::SdlRle() { Blit(sdl_src_rle_.get(), sdl_dst_.get(), 0, 0); }

void RectPeers::Pixman() {
  pixman_image_composite32(PIXMAN_OP_OVER, px_src_.get(), px_mask_.get(), px_dst_.get(), 0, 0, 0, 0,
                           0, 0, w_.size.w, w_.size.h);
}

FramePeers::FramePeers(Frame& f) : f_(f) {
  sdl_dst_ = Wrap(f.dst.data(), Frame::kWidth, Frame::kHeight, f.pitch, f.layout);
  pixels_.reserve(f.sprites.size());
  for (const Sprite& s : f.sprites) {
    pixels_.push_back(s.pixels);
    sprites_.push_back(
        KeyedSurface(pixels_.back().data(), s.w, s.h, s.pitch, f.layout, true, sdl_dst_.get()));
  }
}

void FramePeers::SdlRle() {
  for (size_t i = 0; i < sprites_.size(); ++i) {
    Blit(sprites_[i].get(), sdl_dst_.get(), f_.sprites[i].x, f_.sprites[i].y);
  }
}

}  // namespace glimfx_bench
