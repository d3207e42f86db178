// Times both exports (through the loaded libglimfx.so, as a host binds them),
// each forced path, the plain transcription, SDL2, pixman and the floors on
// the same buffers in one process, with the repetitions of all of them
// interleaved at random so drifts of the machine hit every one alike.
// Nothing here compares results: the tests own correctness.
//
//   glimfx_bench [Google Benchmark flags]
//   glimfx_bench --compare A.so B.so [Google Benchmark flags]
//     only the exports of two builds, entries .../a and .../b on every
//     workload, interleaved: the A/B of one change.
//
// Every entry is named op/layout/size/who and carries a "pixels" counter;
// tools/bench.sh writes the JSON report and turns it into tables and a plot.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "floors.h"
#include "forced_paths.h"
#include "glimfx.h"
#include "maskstore.h"
#include "peers.h"
#include "plain.h"
#include "workload.h"

namespace glimfx_bench {
namespace {

struct Exports {
  GlimfxBltAlphaFastFn blend;
  GlimfxBltEfectoNocheFn night;
};

template <class Fn>
void Register(const std::string& name, int64_t pixels, Fn fn) {
  benchmark::RegisterBenchmark(name.c_str(), [fn, pixels](benchmark::State& st) {
    for (auto _ : st) fn();
    st.counters["pixels"] = static_cast<double>(pixels);
  })->Unit(benchmark::kNanosecond);
}

void RegisterExports(const std::string& name, RectWorkload& w, const Exports& ex) {
  const int64_t px = w.Pixels();
  uint8_t* d = w.dst.data();
  const uint8_t* s = w.src.data();
  const int32_t width = w.size.w, height = w.size.h, pitch = w.pitch;
  const uint32_t format = w.layout.format;
  if (w.op == Op::kNight) {
    Register(name, px, [=] { ex.night(d, width, height, pitch, format); });
  } else {
    Register(name, px, [=] { ex.blend(d, s, width, height, pitch, pitch, format); });
  }
}

void RegisterFrameExports(const std::string& name, Frame& f, const Exports& ex) {
  Register(name, f.Pixels(), [&f, ex] {
    for (const Sprite& s : f.sprites) {
      ex.blend(f.At(s), s.pixels.data(), s.w, s.h, s.pitch, f.pitch, f.layout.format);
    }
  });
}

void RegisterRect(RectWorkload& w, RectPeers& peers, const Exports& ex) {
  const std::string base = w.Name() + "/";
  const int64_t px = w.Pixels();
  uint8_t* d = w.dst.data();
  const uint8_t* s = w.src.data();
  const int32_t width = w.size.w, height = w.size.h, pitch = w.pitch;
  const uint32_t format = w.layout.format;
  const size_t bytes = w.Bytes();
  RegisterExports(base + "export", w, ex);
  if (w.op == Op::kNight) {
    for (Path p : kPaths) {
      if (!PathRuns(p)) continue;
      Register(base + PathName(p), px, [=] { NightWith(p, d, width, height, pitch, format); });
    }
    Register(base + "plain", px, [=] { PlainNight(d, width, height, pitch, format); });
    Register(base + "in-place", px, [=] { InPlace(d, bytes); });
  } else {
    for (Path p : kPaths) {
      if (!PathRuns(p)) continue;
      Register(base + PathName(p), px,
               [=] { BlendWith(p, d, s, width, height, pitch, pitch, format); });
    }
    Register(base + "plain", px, [=] { PlainBlend(d, s, width, height, pitch, pitch, format); });
    if (MaskstoreRuns() && MaskstoreHandles(format)) {
      Register(base + "maskstore", px,
               [=] { MaskstoreBlend(d, s, width, height, pitch, pitch, format); });
    }
    Register(base + "triad", px, [=] { Triad(d, s, bytes); });
    Register(base + "sdl2-rle", px, [&peers] { peers.SdlRle(); });
  }
  if (peers.HasSdl()) Register(base + "sdl2", px, [&peers] { peers.Sdl(); });
  Register(base + "pixman", px, [&peers] { peers.Pixman(); });
  Register(base + "memcpy", px, [=] { std::memcpy(d, s, bytes); });
}

void RegisterFrame(Frame& f, FramePeers& peers, const Exports& ex) {
  const std::string base = f.Name() + "/";
  const int64_t px = f.Pixels();
  RegisterFrameExports(base + "export", f, ex);
  for (Path p : kPaths) {
    if (!PathRuns(p)) continue;
    Register(base + PathName(p), px, [&f, p] {
      for (const Sprite& s : f.sprites) {
        BlendWith(p, f.At(s), s.pixels.data(), s.w, s.h, s.pitch, f.pitch, f.layout.format);
      }
    });
  }
  if (MaskstoreRuns() && MaskstoreHandles(f.layout.format)) {
    Register(base + "maskstore", px, [&f] {
      for (const Sprite& s : f.sprites) {
        MaskstoreBlend(f.At(s), s.pixels.data(), s.w, s.h, s.pitch, f.pitch, f.layout.format);
      }
    });
  }
  Register(base + "sdl2-rle", px, [&peers] { peers.SdlRle(); });
}

// The exports of the library at `path`, loaded as a host loads it; the
// handle stays open for the process's life.
bool LoadExports(const char* path, Exports& ex) {
  void* lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (lib == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
    return false;
  }
  ex = {reinterpret_cast<GlimfxBltAlphaFastFn>(dlsym(lib, "BltAlphaFast")),
        reinterpret_cast<GlimfxBltEfectoNocheFn>(dlsym(lib, "BltEfectoNoche"))};
  if (ex.blend == nullptr || ex.night == nullptr) {
    std::fprintf(stderr, "exports missing from %s\n", path);
    return false;
  }
  return true;
}

}  // namespace
}  // namespace glimfx_bench

int main(int argc, char** argv) {
  using namespace glimfx_bench;
  // Two builds (--compare A B), or this build's library with everything else.
  std::vector<const char*> libraries = {GLIMFX_SO_PATH};
  if (argc >= 4 && std::strcmp(argv[1], "--compare") == 0) {
    libraries = {argv[2], argv[3]};
    argv += 3;
    argc -= 3;
  }
  // Defaults; a later flag on the command line wins. 0.02 s is long enough
  // to steady the 4K rows and keeps the whole run within a few minutes on
  // two cores.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  static char min_time[] = "--benchmark_min_time=0.02";
  static char repetitions[] = "--benchmark_repetitions=5";
  static char aggregates[] = "--benchmark_report_aggregates_only=true";
  std::vector<char*> args = {argv[0], interleave, min_time, repetitions, aggregates};
  args.insert(args.end(), argv + 1, argv + argc);
  int bench_argc = static_cast<int>(args.size());
  benchmark::Initialize(&bench_argc, args.data());
  if (benchmark::ReportUnrecognizedArguments(bench_argc, args.data())) return 1;

  std::vector<Exports> exports(libraries.size());
  for (size_t i = 0; i < libraries.size(); ++i) {
    if (!LoadExports(libraries[i], exports[i])) return 1;
  }
  const bool compare = libraries.size() == 2;
  const char* kWho[] = {"a", "b"};

  // Peers hold views of the workloads' buffers, so they are declared after
  // them and go first.
  std::vector<std::unique_ptr<RectWorkload>> rects;
  std::vector<std::unique_ptr<Frame>> frames;
  std::vector<std::unique_ptr<RectPeers>> rect_peers;
  std::vector<std::unique_ptr<FramePeers>> frame_peers;
  for (const Size& size : kSizes) {
    for (const Layout& layout : kLayouts) {
      for (Op op : kOps) {
        rects.push_back(MakeRect(size, layout, op));
        RectWorkload& w = *rects.back();
        if (compare) {
          for (size_t i = 0; i < 2; ++i) {
            RegisterExports(w.Name() + "/" + kWho[i], w, exports[i]);
          }
          continue;
        }
        rect_peers.push_back(std::make_unique<RectPeers>(w));
        RegisterRect(w, *rect_peers.back(), exports[0]);
      }
    }
  }
  for (const Layout& layout : kLayouts) {
    frames.push_back(MakeFrame(layout));
    Frame& f = *frames.back();
    if (compare) {
      for (size_t i = 0; i < 2; ++i) RegisterFrameExports(f.Name() + "/" + kWho[i], f, exports[i]);
      continue;
    }
    frame_peers.push_back(std::make_unique<FramePeers>(f));
    RegisterFrame(f, *frame_peers.back(), exports[0]);
  }
  benchmark::AddCustomContext("glimfx_build", "linux");
  benchmark::AddCustomContext("glimfx_best_path", BestPathName());

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  rect_peers.clear();
  frame_peers.clear();
  return 0;
}
