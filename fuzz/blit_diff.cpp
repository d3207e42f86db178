#include "blit_diff.h"

#include <cstring>
#include <sstream>
#include <vector>

#include "glimfx.h"
#include "isa.h"
#include "paths.h"
#include "pixel_format.h"
#include "rng.h"

namespace glimfx_fuzz {
namespace {

using glimfx::Isa;
using glimfx_test::Rng;

// A rectangle in a buffer that holds exactly its rows plus the start offset,
// so the last row in memory ends where the allocation ends.
struct Surface {
  std::vector<uint8_t> bytes;
  int32_t pitch = 0;
  size_t first_row = 0;  // index of row 0's first byte

  Surface(int32_t row_bytes, int32_t gap, bool upward, int32_t offset, int32_t height) {
    const int32_t step = row_bytes + gap;
    const size_t span = static_cast<size_t>(height - 1) * static_cast<size_t>(step) +
                        static_cast<size_t>(row_bytes);
    bytes.resize(static_cast<size_t>(offset) + span + (span == 0 ? 1 : 0));
    pitch = upward ? -step : step;
    first_row = static_cast<size_t>(offset) +
                (upward ? static_cast<size_t>(height - 1) * static_cast<size_t>(step) : 0);
  }
  uint8_t* Row(std::vector<uint8_t>& b, int32_t r) const {
    return b.data() + static_cast<std::ptrdiff_t>(first_row) +
           static_cast<std::ptrdiff_t>(r) * pitch;
  }
};

// Pixels that sit on the rules' edges: sign and colourless bits, lone low
// bits, full fields.
constexpr uint16_t kSpecial16[] = {0x8000, 0xFFFF, 0x7FFF, 0x0001, 0xF800, 0x07E0,
                                   0x001F, 0x7C00, 0x0100, 0x00FF, 0x0020, 0x0400};
constexpr uint32_t kSpecial32[] = {0xFF000001, 0x00000100, 0x00FFFFFF, 0xFFFFFFFF, 0x00010000,
                                   0x80808080, 0x00FEFEFE, 0x7F000001, 0x00000001};

// Writes the rectangle's pixels: key runs of 1..max_run pixels started with
// probability key_share/256, the other pixels special or random values.
void FillPixels(const Case& c, const Surface& surf, std::vector<uint8_t>& b, Rng& rng) {
  const int32_t bpp = glimfx::BytesPerPixel(c.format);
  uint32_t run = 0;
  for (int32_t r = 0; r < c.height; ++r) {
    uint8_t* p = surf.Row(b, r);
    for (int32_t x = 0; x < c.width; ++x, p += bpp) {
      if (run == 0 && rng.Below(256) < c.key_share) run = 1 + rng.Below(c.max_run);
      uint32_t v;
      if (run > 0) {
        --run;
        v = bpp == 4 ? static_cast<uint32_t>(rng.Next64()) & 0xFF000000u : 0;
      } else if (rng.Below(4) == 0) {
        v = bpp == 2 ? kSpecial16[rng.Below(sizeof kSpecial16 / sizeof kSpecial16[0])]
                     : kSpecial32[rng.Below(sizeof kSpecial32 / sizeof kSpecial32[0])];
      } else {
        v = static_cast<uint32_t>(rng.Next64());
      }
      // A random pixel can come out as a key one by chance; that is fine.
      for (int32_t k = 0; k < bpp; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
    }
  }
}

void FillRandom(std::vector<uint8_t>& b, Rng& rng) {
  for (auto& v : b) v = static_cast<uint8_t>(rng.Next64());
}

// Index of the first differing byte, or -1.
std::ptrdiff_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

std::string Mismatch(const Case& c, const char* path, const char* what, std::ptrdiff_t at,
                     const std::vector<uint8_t>& want, const std::vector<uint8_t>& got) {
  std::ostringstream out;
  out << Describe(c) << " path=" << path << ": " << what;
  if (at >= 0) {
    out << " differs at byte " << at << " (want 0x" << std::hex
        << int{want[static_cast<size_t>(at)]} << ", got 0x" << int{got[static_cast<size_t>(at)]}
        << ")";
  }
  return out.str();
}

struct Run {
  const char* path;
  Isa isa;
  bool export_call;
};

constexpr Run kRuns[] = {
    {"sse2", Isa::kSse2, false}, {"avx2", Isa::kAvx2, false}, {"export", Isa::kScalar, true}};

}  // namespace

std::string Describe(const Case& c) {
  const int32_t bpp = glimfx::BytesPerPixel(c.format);
  const int32_t row = c.width * bpp;
  std::ostringstream out;
  out << (c.routine == Routine::kBlend ? "BltAlphaFast" : "BltEfectoNoche")
      << " format=" << c.format << " width=" << c.width << " height=" << c.height
      << " dest_pitch=" << (c.dest_upward ? -(row + c.dest_gap) : row + c.dest_gap)
      << " dest_offset=" << c.dest_offset;
  if (c.routine == Routine::kBlend) {
    out << " src_pitch=" << (c.src_upward ? -(row + c.src_gap) : row + c.src_gap)
        << " src_offset=" << c.src_offset;
  }
  out << " key_share=" << int{c.key_share} << " max_run=" << int{c.max_run} << " seed=" << c.seed;
  return out.str();
}

std::string CheckCase(const Case& c) {
  Rng rng(c.seed);
  const int32_t row_bytes = c.width * glimfx::BytesPerPixel(c.format);
  const Surface dest(row_bytes, c.dest_gap, c.dest_upward, c.dest_offset, c.height);
  const Surface src(row_bytes, c.src_gap, c.src_upward, c.src_offset, c.height);
  std::vector<uint8_t> dest0(dest.bytes.size());
  std::vector<uint8_t> src0(src.bytes.size());
  FillRandom(dest0, rng);
  FillRandom(src0, rng);
  if (c.routine == Routine::kBlend) {
    FillPixels(c, src, src0, rng);
  } else {
    FillPixels(c, dest, dest0, rng);
  }

  auto call = [&](const Run* run, std::vector<uint8_t>& d, std::vector<uint8_t>& s) -> int32_t {
    uint8_t* dp = dest.Row(d, 0);
    const uint8_t* sp = src.Row(s, 0);
    if (c.routine == Routine::kBlend) {
      if (run != nullptr && run->export_call) {
        return BltAlphaFast(dp, sp, c.width, c.height, src.pitch, dest.pitch, c.format);
      }
      return glimfx::Blend(run ? run->isa : Isa::kScalar, dp, sp, c.width, c.height, src.pitch,
                           dest.pitch, c.format);
    }
    if (run != nullptr && run->export_call) {
      return BltEfectoNoche(dp, c.width, c.height, dest.pitch, c.format);
    }
    return glimfx::Night(run ? run->isa : Isa::kScalar, dp, c.width, c.height, dest.pitch,
                         c.format);
  };

  std::vector<uint8_t> want = dest0;
  std::vector<uint8_t> src_copy = src0;
  const int32_t want_status = call(nullptr, want, src_copy);
  for (const Run& run : kRuns) {
    if (!run.export_call && !glimfx::IsaSupported(run.isa)) continue;
    std::vector<uint8_t> got = dest0;
    std::vector<uint8_t> s = src0;
    const int32_t status = call(&run, got, s);
    if (status != want_status) {
      std::ostringstream what;
      what << "status " << status << ", scalar gave " << want_status;
      return Mismatch(c, run.path, what.str().c_str(), -1, want, got);
    }
    const std::ptrdiff_t at = FirstDifference(want, got);
    if (at >= 0) return Mismatch(c, run.path, "destination", at, want, got);
    const std::ptrdiff_t src_at = FirstDifference(src0, s);
    if (src_at >= 0) return Mismatch(c, run.path, "source written", src_at, src0, s);
  }
  return std::string();
}

std::string CheckInput(const uint8_t* data, size_t size) {
  auto byte = [&](size_t i) -> uint32_t { return i < size ? data[i] : 0u; };
  constexpr uint32_t kRejected[] = {2, 5, 0xFFFFFFFFu, 0x80000001u};
  Case c;
  const uint32_t b0 = byte(0);
  c.routine = (b0 & 1) ? Routine::kNight : Routine::kBlend;
  c.format = b0 >= 0xF8 ? kRejected[b0 & 3] : glimfx::kAllFormats[(b0 >> 1) & 3];
  // Mostly narrow rows, where steps and tails meet; sometimes wide ones.
  const uint32_t w = byte(1) | byte(2) << 8;
  c.width = static_cast<int32_t>((byte(2) & 0x80) ? w % 400 : byte(1) % 72);
  c.height = 1 + static_cast<int32_t>(byte(3) % 6);
  c.dest_gap = static_cast<int32_t>(byte(4) & 15);
  c.dest_upward = (byte(4) & 0x10) != 0;
  c.src_upward = (byte(4) & 0x20) != 0;
  c.src_gap = static_cast<int32_t>(byte(5) & 15);
  c.dest_offset = static_cast<int32_t>(byte(6) & 15);
  c.src_offset = static_cast<int32_t>(byte(6) >> 4);
  c.key_share = static_cast<uint8_t>(byte(7));
  c.max_run = static_cast<uint8_t>(1 + byte(8) % 60);
  uint64_t h = 0xCBF29CE484222325ull;  // FNV-1a over the whole input
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001B3ull;
  c.seed = h;
  return CheckCase(c);
}

}  // namespace glimfx_fuzz
