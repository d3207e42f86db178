// Times the exports of the shipped Windows DLL, loaded by name with
// LoadLibrary / GetProcAddress as the game loads it, on the same workloads as
// the native benchmark. Writes a JSON report in Google Benchmark's shape
// (median aggregates, a "pixels" counter).
//
// Other programs share this machine's cores, so wall time overstates the
// cost; the CPU time is the thread's own, but Wine counts it in 10 ms ticks,
// so it is taken over all repetitions together (at least 0.25 s) rather
// than per repetition. real_time is the median repetition's wall time.
//
//   glimfx_bench_dll OUT.json [filter-substring]
//   glimfx_bench_dll OUT.json FILTER A.dll B.dll
//     the exports of two builds, entries .../a and .../b, in three rounds
//     that alternate between them; each entry's median round is kept.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "glimfx.h"
#include "workload.h"

namespace glimfx_bench {
namespace {

constexpr double kMinSeconds = 0.05;
constexpr int kRepetitions = 5;

using Clock = std::chrono::steady_clock;

double ThreadCpuNs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ticks = [](const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) * 100.0;  // 100 ns ticks
}

struct Result {
  std::string name;
  int64_t iterations;
  double real_ns, cpu_ns;  // per call
  int64_t pixels;
};

// Doubles the iteration count until one repetition lasts kMinSeconds, then
// keeps the median of kRepetitions such repetitions.
template <class Fn>
Result Time(const std::string& name, int64_t pixels, Fn fn) {
  int64_t n = 1;
  for (;;) {
    const auto t0 = Clock::now();
    for (int64_t i = 0; i < n; ++i) fn();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    if (s >= kMinSeconds) break;
    n = s <= 0 ? n * 10 : std::max(n * 2, static_cast<int64_t>(n * kMinSeconds * 1.2 / s));
  }
  std::vector<double> per_call;
  const double cpu0 = ThreadCpuNs();
  for (int r = 0; r < kRepetitions; ++r) {
    const auto t0 = Clock::now();
    for (int64_t i = 0; i < n; ++i) fn();
    per_call.push_back(std::chrono::duration<double, std::nano>(Clock::now() - t0).count() /
                       static_cast<double>(n));
  }
  const double cpu_ns = (ThreadCpuNs() - cpu0) / static_cast<double>(n * kRepetitions);
  std::sort(per_call.begin(), per_call.end());
  return {name, n, per_call[kRepetitions / 2], cpu_ns, pixels};
}

bool Write(const char* path, const std::vector<Result>& results) {
  FILE* f = std::fopen(path, "w");
  if (f == nullptr) return false;
  std::fprintf(f,
               "{\n  \"context\": {\"glimfx_build\": \"windows-%d\"},\n"
               "  \"benchmarks\": [\n",
               static_cast<int>(sizeof(void*) * 8));
  for (size_t i = 0; i < results.size(); ++i) {
    const Result& r = results[i];
    std::fprintf(f,
                 "    {\"name\": \"%s_median\", \"run_name\": \"%s\", \"run_type\": \"aggregate\", "
                 "\"aggregate_name\": \"median\", \"repetitions\": %d, \"iterations\": %lld, "
                 "\"real_time\": %.3f, \"cpu_time\": %.3f, \"time_unit\": \"ns\", "
                 "\"pixels\": %lld}%s\n",
                 r.name.c_str(), r.name.c_str(), kRepetitions, static_cast<long long>(r.iterations),
                 r.real_ns, r.cpu_ns, static_cast<long long>(r.pixels),
                 i + 1 < results.size() ? "," : "");
  }
  std::fprintf(f, "  ]\n}\n");
  return std::fclose(f) == 0;
}

struct Exports {
  std::string who;  // the entries' last name part
  GlimfxBltAlphaFastFn blend;
  GlimfxBltEfectoNocheFn night;
};

bool Load(const char* path, const std::string& who, Exports& ex) {
  HMODULE lib = LoadLibraryA(path);
  if (lib == nullptr) {
    std::fprintf(stderr, "cannot load %s (error %lu)\n", path, GetLastError());
    return false;
  }
  ex = {who,
        reinterpret_cast<GlimfxBltAlphaFastFn>(
            reinterpret_cast<void*>(GetProcAddress(lib, "BltAlphaFast"))),
        reinterpret_cast<GlimfxBltEfectoNocheFn>(
            reinterpret_cast<void*>(GetProcAddress(lib, "BltEfectoNoche")))};
  if (ex.blend == nullptr || ex.night == nullptr) {
    std::fprintf(stderr, "exports missing from %s\n", path);
    return false;
  }
  return true;
}

// Times `call(ex)` for every library, `rounds` times in turn, and keeps each
// library's median round.
template <class Call>
void TimeEach(const std::string& name, int64_t pixels, const std::vector<Exports>& libraries,
              Call call, std::vector<Result>& results) {
  const int rounds = libraries.size() > 1 ? 3 : 1;
  std::vector<std::vector<Result>> times(libraries.size());
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < libraries.size(); ++i) {
      const Exports& ex = libraries[i];
      times[i].push_back(Time(name + "/" + ex.who, pixels, [&] { call(ex); }));
    }
  }
  for (std::vector<Result>& t : times) {
    std::sort(t.begin(), t.end(),
              [](const Result& a, const Result& b) { return a.cpu_ns < b.cpu_ns; });
    results.push_back(t[t.size() / 2]);
    std::printf("%-32s %10.1f ns\n", results.back().name.c_str(), results.back().cpu_ns);
  }
}

}  // namespace
}  // namespace glimfx_bench

int main(int argc, char** argv) {
  using namespace glimfx_bench;
  if (argc < 2 || argc == 4 || argc > 5) {
    std::fprintf(stderr, "usage: %s OUT.json [filter-substring [A.dll B.dll]]\n", argv[0]);
    return 2;
  }
  const std::string filter = argc > 2 ? argv[2] : "";
  std::vector<Exports> libraries(argc == 5 ? 2 : 1);
  if (argc == 5) {
    if (!Load(argv[3], "a", libraries[0]) || !Load(argv[4], "b", libraries[1])) return 1;
  } else if (!Load("glimfx.dll", "export", libraries[0])) {
    return 1;
  }

  // One workload at a time, so the 32-bit process never holds them all.
  std::vector<Result> results;
  auto wanted = [&](const std::string& name) { return name.find(filter) != std::string::npos; };
  for (const Size& size : kSizes) {
    for (const Layout& layout : kLayouts) {
      for (Op op : kOps) {
        auto w = MakeRect(size, layout, op);
        const std::string name = w->Name();
        if (!wanted(name + "/" + libraries[0].who)) continue;
        uint8_t* d = w->dst.data();
        const uint8_t* s = w->src.data();
        const int32_t width = w->size.w, height = w->size.h, pitch = w->pitch;
        const uint32_t format = layout.format;
        if (op == Op::kNight) {
          TimeEach(
              name, w->Pixels(), libraries,
              [=](const Exports& ex) { ex.night(d, width, height, pitch, format); }, results);
        } else {
          TimeEach(
              name, w->Pixels(), libraries,
              [=](const Exports& ex) { ex.blend(d, s, width, height, pitch, pitch, format); },
              results);
        }
      }
    }
  }
  for (const Layout& layout : kLayouts) {
    auto f = MakeFrame(layout);
    const std::string name = f->Name();
    if (!wanted(name + "/" + libraries[0].who)) continue;
    Frame& frame = *f;
    TimeEach(
        name, frame.Pixels(), libraries,
        [&frame](const Exports& ex) {
          for (const Sprite& s : frame.sprites) {
            ex.blend(frame.At(s), s.pixels.data(), s.w, s.h, s.pitch, frame.pitch,
                     frame.layout.format);
          }
        },
        results);
  }
  if (!Write(argv[1], results)) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
