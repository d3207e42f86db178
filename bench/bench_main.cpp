// Benchmark of both routines against SDL2, pixman and the memory floors, on
// the same buffers in one process, with Google Benchmark's repetitions
// interleaved at random. Prints the usual console report, then a markdown
// table of median ns per pixel with the ratios the targets are stated in.
//
//   glimfx_bench [--table=FILE] [Google Benchmark flags]
//
// Before anything is timed every path, the exports and the plain
// transcription of the routines' steps (the scalar paths' regression guard)
// are checked against the scalar path, byte for byte, on every workload.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <immintrin.h>
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "glimfx.h"
#include "isa.h"
#include "paths.h"
#include "pixel_format.h"

namespace {

using glimfx::Isa;

struct Size {
  int32_t w, h;
  const char* name;
};
constexpr Size kSizes[] = {
    {64, 64, "64x64"}, {640, 480, "640x480"}, {1920, 1080, "1920x1080"}, {3840, 2160, "3840x2160"}};

struct Layout {
  uint32_t format;
  const char* name;
  uint32_t sdl_format;
  pixman_format_code_t pixman_format;
};
const Layout kLayouts[] = {
    {glimfx::kFormat565, "565", SDL_PIXELFORMAT_RGB565, PIXMAN_r5g6b5},
    {glimfx::kFormat555, "555", SDL_PIXELFORMAT_RGB555, PIXMAN_x1r5g5b5},
    {glimfx::kFormat24, "24", SDL_PIXELFORMAT_BGR24, PIXMAN_r8g8b8},
    {glimfx::kFormat32, "32", SDL_PIXELFORMAT_RGB888, PIXMAN_x8r8g8b8},
};

enum class Op { kBlendOpaque, kBlendSprite, kNight };
const char* OpName(Op op) {
  return op == Op::kBlendOpaque   ? "blend-opaque"
         : op == Op::kBlendSprite ? "blend-sprite"
                                  : "night";
}

enum class Who {
  kExport,
  kScalar,
  kPlain,
  kSse2,
  kAvx2,
  kSdl,
  kSdlRle,
  kPixman,
  kMemcpy,
  kTriad,
  kInPlace,
};
const char* WhoName(Who w) {
  switch (w) {
    case Who::kExport:
      return "export";
    case Who::kScalar:
      return "scalar";
    case Who::kPlain:
      return "plain";
    case Who::kSse2:
      return "sse2";
    case Who::kAvx2:
      return "avx2";
    case Who::kSdl:
      return "sdl2";
    case Who::kSdlRle:
      return "sdl2-rle";
    case Who::kPixman:
      return "pixman";
    case Who::kMemcpy:
      return "memcpy";
    case Who::kTriad:
      return "triad";
    case Who::kInPlace:
      return "in-place";
  }
  return "?";
}

GlimfxBltAlphaFastFn g_blend_export = nullptr;
GlimfxBltEfectoNocheFn g_night_export = nullptr;

// The floors: the least memory traffic each routine could cost, with the
// widest vectors this machine has.
__attribute__((target("avx2"))) void TriadAvx2(uint8_t* d, const uint8_t* s, size_t n) {
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_avg_epu8(a, b));
  }
  for (; i < n; ++i) d[i] = static_cast<uint8_t>((d[i] + s[i] + 1) >> 1);
}
__attribute__((target("avx2"))) void InPlaceAvx2(uint8_t* p, size_t n) {
  const __m256i k = _mm256_set1_epi8(0x20);
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), _mm256_avg_epu8(a, k));
  }
  for (; i < n; ++i) p[i] = static_cast<uint8_t>((p[i] + 0x21) >> 1);
}
void TriadPlain(uint8_t* d, const uint8_t* s, size_t n) {
  for (size_t i = 0; i < n; ++i) d[i] = static_cast<uint8_t>((d[i] + s[i] + 1) >> 1);
}
void InPlacePlain(uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>((p[i] + 0x21) >> 1);
}

// The regression guard for the scalar paths: the routines' steps written
// out pixel by pixel as they are stated, with nothing done for speed.
uint32_t ReadLe(const uint8_t* p, int32_t bytes) {
  uint32_t v = 0;
  for (int32_t k = 0; k < bytes; ++k) v |= uint32_t{p[k]} << (8 * k);
  return v;
}
void WriteLe(uint8_t* p, int32_t bytes, uint32_t v) {
  for (int32_t k = 0; k < bytes; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

void PlainBlend(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height, int32_t src_pitch,
                int32_t dest_pitch, uint32_t format) {
  const int32_t bpp = glimfx::BytesPerPixel(format);
  const int32_t src_skip = src_pitch - bpp * width, dest_skip = dest_pitch - bpp * width;
  for (int32_t r = 0; r < height; ++r) {
    if (bpp == 2) {
      const uint32_t m = format == glimfx::kFormat555 ? 0x3DEF3DEF : 0x7BEF7BEF;
      for (int32_t i = 0; i < width / 2; ++i, dest += 4, src += 4) {
        uint32_t s = ReadLe(src, 4);
        if (s == 0) continue;
        const uint32_t d = ReadLe(dest, 4);
        if ((s >> 16) == 0) s |= d & 0xFFFF0000u;
        if ((s & 0xFFFF) == 0) s |= d & 0xFFFF;
        WriteLe(dest, 4, ((d >> 1) & m) + ((s >> 1) & m));
      }
      if (width % 2 == 1) {
        const uint32_t s = ReadLe(src, 2);
        if (s != 0) {
          const uint32_t d = ReadLe(dest, 2);
          WriteLe(dest, 2, ((s >> 1) & (m & 0xFFFF)) + ((d >> 1) & (m & 0xFFFF)));
        }
        dest += 2;
        src += 2;
      }
    } else {
      for (int32_t i = 0; i < width; ++i, dest += bpp, src += bpp) {
        const uint32_t s = ReadLe(src, bpp);
        if ((s & 0xFFFFFF) == 0) continue;
        const uint32_t d = ReadLe(dest, bpp);
        WriteLe(dest, bpp, ((d >> 1) & 0x7F7F7F) + ((s >> 1) & 0x7F7F7F));
      }
    }
    if (r + 1 < height) {
      dest += dest_skip;
      src += src_skip;
    }
  }
}

void PlainNight(uint8_t* surface, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
  const int32_t bpp = glimfx::BytesPerPixel(format);
  for (int32_t r = 0; r < height; ++r) {
    uint8_t* p = surface + static_cast<ptrdiff_t>(r) * pitch;
    for (int32_t x = 0; x < width; ++x, p += bpp) {
      const uint32_t v = ReadLe(p, bpp);
      uint32_t out;
      if (format == glimfx::kFormat555) {
        out = ((v >> 1) & 0x3DEF) + 0x2800;
      } else if (format == glimfx::kFormat565) {
        const bool in_group = x < width / 4 * 4;
        const uint32_t k = in_group ? (v != 0 && v < 0x8000 ? 1 : 0) : 1;
        out = (in_group ? (v & 0xF7DE) >> 1 : (v >> 1) & 0x7BEF) + k;
      } else if (format == glimfx::kFormat24) {
        out = ((v >> 1) & 0x7F7F7F) + 0x200000;
      } else {
        out = ((v >> 1) & 0x7F7F7F7F) + 0x200000;
      }
      WriteLe(p, bpp, out);
    }
  }
}

// One workload: its buffers (rows packed, pitch = row bytes) and the SDL2
// and pixman views of the same memory.
struct Workload {
  Size size;
  Layout layout;
  Op op;
  int32_t pitch;
  size_t bytes;
  std::vector<uint8_t> src, dst;
  SDL_Surface* sdl_src = nullptr;
  SDL_Surface* sdl_src_rle = nullptr;
  std::vector<uint8_t> rle_src;  // RLE encoding keeps its own copy
  SDL_Surface* sdl_dst = nullptr;
  SDL_Renderer* sdl_renderer = nullptr;
  pixman_image_t* px_src = nullptr;
  pixman_image_t* px_dst = nullptr;
  pixman_image_t* px_half = nullptr;

  std::string Name() const { return std::string(OpName(op)) + "/" + layout.name + "/" + size.name; }
  int64_t Pixels() const { return int64_t{size.w} * size.h; }
};

void Put(uint8_t* p, int32_t bpp, uint32_t v) {
  for (int32_t k = 0; k < bpp; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

// Drawn pixels are random and never key; sprites have key runs of 4..60
// between drawn runs of 4..92, about 40 % key pixels.
void FillPixels(Workload& w, std::mt19937& rng) {
  const int32_t bpp = glimfx::BytesPerPixel(w.layout.format);
  const uint32_t colour = bpp == 2 ? 0xFFFFu : 0xFFFFFFu;
  auto drawn = [&]() {
    uint32_t v;
    do v = static_cast<uint32_t>(rng());
    while ((v & colour) == 0);
    return v;
  };
  for (size_t i = 0; i + bpp <= w.bytes; i += bpp)
    Put(&w.dst[i], bpp, static_cast<uint32_t>(rng()));
  const int64_t pixels = w.Pixels();
  int64_t x = 0;
  bool key = false;
  while (x < pixels) {
    const int64_t run = key ? 4 + rng() % 57 : 4 + rng() % 89;
    for (int64_t k = 0; k < run && x < pixels; ++k, ++x) {
      uint8_t* p = &w.src[static_cast<size_t>(x * bpp)];
      Put(p, bpp, key ? 0u : drawn());
    }
    if (w.op == Op::kBlendSprite) key = !key;
  }
}

void SetUpPeers(Workload& w) {
  const int32_t bpp = glimfx::BytesPerPixel(w.layout.format);
  const int32_t depth = bpp == 2 ? 16 : bpp * 8;
  w.sdl_dst = SDL_CreateRGBSurfaceWithFormatFrom(w.dst.data(), w.size.w, w.size.h, depth, w.pitch,
                                                 w.layout.sdl_format);
  w.px_dst = pixman_image_create_bits(w.layout.pixman_format, w.size.w, w.size.h,
                                      reinterpret_cast<uint32_t*>(w.dst.data()), w.pitch);
  if (w.op == Op::kNight) {
    // SDL2's nearest path: a 50 % blended fill of the tint colour.
    if (w.layout.format != glimfx::kFormat24) {
      w.sdl_renderer = SDL_CreateSoftwareRenderer(w.sdl_dst);
      SDL_SetRenderDrawBlendMode(w.sdl_renderer, SDL_BLENDMODE_BLEND);
      SDL_SetRenderDrawColor(w.sdl_renderer, 0x40, 0, 0, 128);
    }
    const pixman_color_t tint = {0x2000, 0, 0, 0x8000};
    w.px_src = pixman_image_create_solid_fill(&tint);
    return;
  }
  w.sdl_src = SDL_CreateRGBSurfaceWithFormatFrom(w.src.data(), w.size.w, w.size.h, depth, w.pitch,
                                                 w.layout.sdl_format);
  w.rle_src = w.src;
  w.sdl_src_rle = SDL_CreateRGBSurfaceWithFormatFrom(w.rle_src.data(), w.size.w, w.size.h, depth,
                                                     w.pitch, w.layout.sdl_format);
  for (SDL_Surface* s : {w.sdl_src, w.sdl_src_rle}) {
    SDL_SetColorKey(s, SDL_TRUE, 0);
    SDL_SetSurfaceAlphaMod(s, 128);
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
  }
  SDL_SetSurfaceRLE(w.sdl_src_rle, 1);
  // The first blit encodes the runs; keep that out of the timings.
  SDL_Rect r = {0, 0, w.size.w, w.size.h};
  SDL_Rect d = r;
  SDL_LowerBlit(w.sdl_src_rle, &r, w.sdl_dst, &d);
  w.px_src = pixman_image_create_bits(w.layout.pixman_format, w.size.w, w.size.h,
                                      reinterpret_cast<uint32_t*>(w.src.data()), w.pitch);
  const pixman_color_t half = {0, 0, 0, 0x8000};
  w.px_half = pixman_image_create_solid_fill(&half);
}

bool Has(const Workload& w, Who who) {
  switch (who) {
    case Who::kSse2:
      return glimfx::IsaSupported(Isa::kSse2);
    case Who::kAvx2:
      return glimfx::IsaSupported(Isa::kAvx2);
    case Who::kSdl:
      return w.op != Op::kNight || w.sdl_renderer != nullptr;
    case Who::kSdlRle:
    case Who::kTriad:
      return w.op != Op::kNight;
    case Who::kInPlace:
      return w.op == Op::kNight;
    default:
      return true;
  }
}

void RunOnce(Workload& w, Who who, uint8_t* dst) {
  const bool night = w.op == Op::kNight;
  const int32_t width = w.size.w, height = w.size.h, pitch = w.pitch;
  const uint32_t format = w.layout.format;
  auto forced = [&](Isa isa) {
    if (night) {
      glimfx::Night(isa, dst, width, height, pitch, format);
    } else {
      glimfx::Blend(isa, dst, w.src.data(), width, height, pitch, pitch, format);
    }
  };
  switch (who) {
    case Who::kExport:
      if (night) {
        g_night_export(dst, width, height, pitch, format);
      } else {
        g_blend_export(dst, w.src.data(), width, height, pitch, pitch, format);
      }
      break;
    case Who::kScalar:
      forced(Isa::kScalar);
      break;
    case Who::kPlain:
      if (night) {
        PlainNight(dst, width, height, pitch, format);
      } else {
        PlainBlend(dst, w.src.data(), width, height, pitch, pitch, format);
      }
      break;
    case Who::kSse2:
      forced(Isa::kSse2);
      break;
    case Who::kAvx2:
      forced(Isa::kAvx2);
      break;
    case Who::kSdl:
      if (night) {
        SDL_RenderFillRect(w.sdl_renderer, nullptr);
        SDL_RenderFlush(w.sdl_renderer);
      } else {
        SDL_Rect r = {0, 0, width, height};
        SDL_Rect d = r;
        SDL_LowerBlit(w.sdl_src, &r, w.sdl_dst, &d);
      }
      break;
    case Who::kSdlRle: {
      SDL_Rect r = {0, 0, width, height};
      SDL_Rect d = r;
      SDL_LowerBlit(w.sdl_src_rle, &r, w.sdl_dst, &d);
      break;
    }
    case Who::kPixman:
      pixman_image_composite32(PIXMAN_OP_OVER, w.px_src, w.px_half, w.px_dst, 0, 0, 0, 0, 0, 0,
                               width, height);
      break;
    case Who::kMemcpy:
      std::memcpy(dst, w.src.data(), w.bytes);
      break;
    case Who::kTriad:
      if (__builtin_cpu_supports("avx2")) {
        TriadAvx2(dst, w.src.data(), w.bytes);
      } else {
        TriadPlain(dst, w.src.data(), w.bytes);
      }
      break;
    case Who::kInPlace:
      if (__builtin_cpu_supports("avx2")) {
        InPlaceAvx2(dst, w.bytes);
      } else {
        InPlacePlain(dst, w.bytes);
      }
      break;
  }
}

// Every path, the exports and the plain transcription give the scalar
// result on this workload.
bool CheckPaths(Workload& w) {
  std::vector<uint8_t> want = w.dst;
  RunOnce(w, Who::kScalar, want.data());
  const std::vector<uint8_t> src0 = w.src;
  for (Who who : {Who::kExport, Who::kPlain, Who::kSse2, Who::kAvx2}) {
    if (!Has(w, who)) continue;
    std::vector<uint8_t> got = w.dst;
    RunOnce(w, who, got.data());
    if (got != want || w.src != src0) {
      const auto at = std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin();
      std::fprintf(stderr, "MISMATCH %s path=%s at byte %ld\n", w.Name().c_str(), WhoName(who),
                   static_cast<long>(at));
      return false;
    }
  }
  return true;
}

struct Entry {
  Workload* w;
  Who who;
};
std::map<std::string, Entry> g_entries;
std::map<std::string, double> g_median_ns;  // per call

class TableReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text: the report usually goes to a log file.
  TableReporter() : ConsoleReporter(OO_None) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        g_median_ns[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

struct Target {
  double floor, sdl, rle, pixman;  // 0: no target
};

// The stated targets, as ratios of the exports' time to each peer's.
Target TargetFor(const Workload& w) {
  const int big = w.size.w >= 1920 ? (w.size.w == 3840 ? 3 : 2) : (w.size.w == 640 ? 1 : 0);
  if (w.op == Op::kNight) {
    constexpr double kFloor[] = {2, 2, 1.5, 1.15};
    return {kFloor[big], 0.05, 0, 0.5};
  }
  if (w.layout.format == glimfx::kFormat24) return {0, 0, 0.3, 0};
  if (w.op == Op::kBlendOpaque) {
    constexpr double kFloor[] = {3, 1.5, 1.3, 1.3};
    return {kFloor[big], 0.04, 0.4, 0};
  }
  constexpr double kFloor[] = {4, 3, 3, 2};
  return {kFloor[big], 0, 0.7, 0};
}

std::string Table(const std::vector<std::unique_ptr<Workload>>& workloads, int* missed) {
  std::string out;
  char line[640];
  out +=
      "| workload | export | scalar | plain | sse2 | avx2 | SDL2 | SDL2-RLE | pixman | memcpy | "
      "floor | x SDL2 | x RLE | x pixman | x floor | scalar x plain | targets |\n";
  out += "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
  for (const auto& wp : workloads) {
    const Workload& w = *wp;
    auto ns = [&](Who who) -> double {
      auto it = g_median_ns.find(w.Name() + "/" + WhoName(who));
      return it == g_median_ns.end() ? 0 : it->second / static_cast<double>(w.Pixels());
    };
    auto cell = [](double v) {
      char b[32];
      if (v <= 0) return std::string("-");
      std::snprintf(b, sizeof b, "%.3f", v);
      return std::string(b);
    };
    const double e = ns(Who::kExport);
    const double floor = ns(w.op == Op::kNight ? Who::kInPlace : Who::kTriad);
    const double r_sdl = ns(Who::kSdl) > 0 ? e / ns(Who::kSdl) : 0;
    const double r_rle = ns(Who::kSdlRle) > 0 ? e / ns(Who::kSdlRle) : 0;
    const double r_px = ns(Who::kPixman) > 0 ? e / ns(Who::kPixman) : 0;
    const double r_floor = floor > 0 ? e / floor : 0;
    const double r_plain = ns(Who::kPlain) > 0 ? ns(Who::kScalar) / ns(Who::kPlain) : 0;
    const Target t = TargetFor(w);
    std::string verdict;
    auto judge = [&](const char* what, double ratio, double limit) {
      if (limit <= 0 || ratio <= 0) return;
      char b[64];
      const bool ok = ratio <= limit;
      if (!ok) ++*missed;
      std::snprintf(b, sizeof b, "%s%s<=%g %s", verdict.empty() ? "" : ", ", what, limit,
                    ok ? "ok" : "MISSED");
      verdict += b;
    };
    judge("floor", r_floor, t.floor);
    judge("SDL2", r_sdl, t.sdl);
    judge("RLE", r_rle, t.rle);
    judge("pixman", r_px, t.pixman);
    // The scalar path is no slower than the plain transcription, give or
    // take the noise the other targets allow for.
    judge("scalar/plain", r_plain, 1.2);
    std::snprintf(line, sizeof line,
                  "| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s "
                  "| %s |\n",
                  w.Name().c_str(), cell(e).c_str(), cell(ns(Who::kScalar)).c_str(),
                  cell(ns(Who::kPlain)).c_str(), cell(ns(Who::kSse2)).c_str(),
                  cell(ns(Who::kAvx2)).c_str(), cell(ns(Who::kSdl)).c_str(),
                  cell(ns(Who::kSdlRle)).c_str(), cell(ns(Who::kPixman)).c_str(),
                  cell(ns(Who::kMemcpy)).c_str(), cell(floor).c_str(), cell(r_sdl).c_str(),
                  cell(r_rle).c_str(), cell(r_px).c_str(), cell(r_floor).c_str(),
                  cell(r_plain).c_str(), verdict.c_str());
    out += line;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string table_path;
  // Repetitions of all contenders run in a shuffled order, so drifts of the
  // machine hit every one alike; a later flag on the command line wins.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  std::vector<char*> args = {argv[0], interleave};
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--table=", 8) == 0) {
      table_path = argv[i] + 8;
    } else {
      args.push_back(argv[i]);
    }
  }
  int bench_argc = static_cast<int>(args.size());

  void* lib = dlopen(GLIMFX_SO_PATH, RTLD_NOW | RTLD_LOCAL);
  if (lib == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", GLIMFX_SO_PATH, dlerror());
    return 1;
  }
  g_blend_export = reinterpret_cast<GlimfxBltAlphaFastFn>(dlsym(lib, "BltAlphaFast"));
  g_night_export = reinterpret_cast<GlimfxBltEfectoNocheFn>(dlsym(lib, "BltEfectoNoche"));
  if (g_blend_export == nullptr || g_night_export == nullptr) {
    std::fprintf(stderr, "exports missing from %s\n", GLIMFX_SO_PATH);
    return 1;
  }

  std::mt19937 rng(12345);
  std::vector<std::unique_ptr<Workload>> workloads;
  for (const Size& size : kSizes) {
    for (const Layout& layout : kLayouts) {
      for (Op op : {Op::kBlendOpaque, Op::kBlendSprite, Op::kNight}) {
        auto w = std::make_unique<Workload>();
        w->size = size;
        w->layout = layout;
        w->op = op;
        w->pitch = size.w * glimfx::BytesPerPixel(layout.format);
        w->bytes = static_cast<size_t>(w->pitch) * static_cast<size_t>(size.h);
        w->src.resize(w->bytes);
        w->dst.resize(w->bytes);
        FillPixels(*w, rng);
        if (!CheckPaths(*w)) return 1;
        SetUpPeers(*w);
        workloads.push_back(std::move(w));
      }
    }
  }
  std::printf(
      "every path, the exports and the plain transcription equal the scalar path on all %zu "
      "workloads (best: %s)\n",
      workloads.size(), glimfx::IsaName(glimfx::DetectIsa()));

  constexpr Who kAll[] = {Who::kExport, Who::kScalar, Who::kPlain,  Who::kSse2,
                          Who::kAvx2,   Who::kSdl,    Who::kSdlRle, Who::kPixman,
                          Who::kMemcpy, Who::kTriad,  Who::kInPlace};
  for (const auto& wp : workloads) {
    Workload* w = wp.get();
    for (Who who : kAll) {
      if (!Has(*w, who)) continue;
      const std::string name = w->Name() + "/" + WhoName(who);
      g_entries[name] = {w, who};
      benchmark::RegisterBenchmark(name.c_str(),
                                   [w, who](benchmark::State& st) {
                                     for (auto _ : st) RunOnce(*w, who, w->dst.data());
                                     st.SetItemsProcessed(st.iterations() * w->Pixels());
                                   })
          ->Unit(benchmark::kNanosecond)
          ->MinTime(0.02)
          ->Repetitions(5)
          ->ReportAggregatesOnly(true);
    }
  }

  benchmark::Initialize(&bench_argc, args.data());
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  int missed = 0;
  const std::string table = Table(workloads, &missed);
  std::printf("\nmedian ns per pixel; ratios are the exports' time over each peer's\n\n%s",
              table.c_str());
  std::printf("\n%d target comparisons missed\n", missed);
  if (!table_path.empty()) {
    if (FILE* f = std::fopen(table_path.c_str(), "w")) {
      std::fputs(table.c_str(), f);
      std::fclose(f);
    }
  }
  for (const auto& wp : workloads) {
    SDL_DestroyRenderer(wp->sdl_renderer);
    SDL_FreeSurface(wp->sdl_src);
    SDL_FreeSurface(wp->sdl_src_rle);
    SDL_FreeSurface(wp->sdl_dst);
    for (pixman_image_t* img : {wp->px_src, wp->px_dst, wp->px_half}) {
      if (img != nullptr) pixman_image_unref(img);
    }
  }
  dlclose(lib);
  return 0;
}
