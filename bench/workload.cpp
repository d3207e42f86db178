#include "workload.h"

#include <random>

namespace glimfx_bench {
namespace {

void Put(uint8_t* p, int32_t bpp, uint32_t v) {
  for (int32_t k = 0; k < bpp; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

// Drawn pixels are random and never key. The raw engine output (not a
// distribution) keeps the pixels identical on every compiler.
void FillRuns(uint8_t* p, int64_t pixels, int32_t bpp, bool with_keys, std::mt19937& rng) {
  const uint32_t colour = bpp == 2 ? 0xFFFFu : 0xFFFFFFu;
  int64_t x = 0;
  bool key = false;
  while (x < pixels) {
    const int64_t run = key ? 4 + rng() % 57 : 4 + rng() % 89;
    for (int64_t k = 0; k < run && x < pixels; ++k, ++x) {
      uint32_t v = 0;
      if (!key) {
        do v = static_cast<uint32_t>(rng());
        while ((v & colour) == 0);
      }
      Put(p + x * bpp, bpp, v);
    }
    if (with_keys) key = !key;
  }
}

void FillRandom(AlignedBytes& bytes, std::mt19937& rng) {
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
}

std::mt19937 RngFor(const std::string& name) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (char c : name) h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
  return std::mt19937(h);
}

}  // namespace

const char* OpName(Op op) {
  return op == Op::kBlendOpaque   ? "blend-opaque"
         : op == Op::kBlendSprite ? "blend-sprite"
                                  : "night";
}

std::string RectWorkload::Name() const {
  return std::string(OpName(op)) + "/" + layout.name + "/" + size.name;
}

std::unique_ptr<RectWorkload> MakeRect(const Size& size, const Layout& layout, Op op) {
  auto w = std::make_unique<RectWorkload>();
  w->size = size;
  w->layout = layout;
  w->op = op;
  w->pitch = size.w * layout.bpp;
  std::mt19937 rng = RngFor(w->Name());
  const size_t bytes = static_cast<size_t>(w->pitch) * static_cast<size_t>(size.h);
  w->dst.resize(bytes);
  FillRandom(w->dst, rng);
  w->src.resize(bytes);
  FillRuns(w->src.data(), w->Pixels(), layout.bpp, op == Op::kBlendSprite, rng);
  return w;
}

std::string Frame::Name() const { return std::string("frame/") + layout.name + "/800x600"; }

int64_t Frame::Pixels() const {
  int64_t n = 0;
  for (const Sprite& s : sprites) n += int64_t{s.w} * s.h;
  return n;
}

std::unique_ptr<Frame> MakeFrame(const Layout& layout) {
  auto f = std::make_unique<Frame>();
  f->layout = layout;
  std::mt19937 rng = RngFor(f->Name());
  f->pitch = Frame::kWidth * layout.bpp;
  f->dst.resize(static_cast<size_t>(f->pitch) * Frame::kHeight);
  FillRandom(f->dst, rng);
  f->sprites.resize(Frame::kSprites);
  for (Sprite& s : f->sprites) {
    s.w = 16 + static_cast<int32_t>(rng() % 81);
    s.h = 16 + static_cast<int32_t>(rng() % 81);
    s.x = static_cast<int32_t>(rng() % static_cast<uint32_t>(Frame::kWidth - s.w + 1));
    s.y = static_cast<int32_t>(rng() % static_cast<uint32_t>(Frame::kHeight - s.h + 1));
    s.pitch = s.w * layout.bpp;
    s.pixels.resize(static_cast<size_t>(s.pitch) * s.h);
    FillRuns(s.pixels.data(), int64_t{s.w} * s.h, layout.bpp, true, rng);
  }
  return f;
}

}  // namespace glimfx_bench
