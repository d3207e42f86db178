#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

#include "pixel_model.h"
#include "worked_examples.h"

namespace glimfx_test {

Target ModelTarget() { return {"model", ModelBlend, ModelNight}; }

std::string X87Failure() {
#if defined(__i386__) || defined(__x86_64__)
  uint8_t env[28];
  // Storing the environment masks every exception; loading it back undoes that.
  asm volatile("fnstenv %0\n\tfldenv %0" : "=m"(env));
  uint16_t tag;
  std::memcpy(&tag, env + 8, sizeof tag);
  // a * b + c on the x87 unit itself, whatever the compiler's choice for double.
  const double a = 1.25, b = 3.0, c = 0.5;
  double out;
  asm volatile("fldl %1\n\tfldl %2\n\tfmulp\n\tfldl %3\n\tfaddp\n\tfstpl %0"
               : "=m"(out)
               : "m"(a), "m"(b), "m"(c));
  char text[120];
  if (tag != 0xFFFF) {
    std::snprintf(text, sizeof text, "x87 tag word 0x%04X after the call: MMX state left behind",
                  tag);
    return text;
  }
  if (out != 4.25) {
    std::snprintf(text, sizeof text, "x87 computes %g instead of 4.25 after the call", out);
    return text;
  }
#endif
  return std::string();
}

namespace {

std::string Context(const Target& t, Routine routine, uint32_t format, int32_t width,
                    int32_t height, int32_t dest_pitch, int32_t src_pitch) {
  char text[200];
  if (routine == Routine::kBlend) {
    std::snprintf(text, sizeof text,
                  "BltAlphaFast, path %s, format %s, width %d, height %d, srcPitch %d, "
                  "destPitch %d",
                  t.name.c_str(), FormatName(format), width, height, src_pitch, dest_pitch);
  } else {
    std::snprintf(text, sizeof text,
                  "BltEfectoNoche, path %s, format %s, width %d, height %d, pitch %d",
                  t.name.c_str(), FormatName(format), width, height, dest_pitch);
  }
  return text;
}

// The comparisons after one call: status, the whole destination surface, the
// whole source surface, the x87 unit.
std::string Verdict(const std::string& context, int32_t status, int32_t want_status,
                    const Surface& dest, const std::vector<uint8_t>& want, const Surface* src,
                    const std::vector<uint8_t>& src_before) {
  const std::string x87 = X87Failure();
  if (!x87.empty()) return context + ": " + x87;
  if (status != want_status) {
    return context + ": returned " + std::to_string(status) + ", expected " +
           std::to_string(want_status);
  }
  std::string diff = dest.DifferenceFrom(want);
  if (!diff.empty()) return context + ": destination " + diff;
  if (src != nullptr) diff = src->DifferenceFrom(src_before);
  return diff.empty() ? diff : context + ": source changed, " + diff;
}

// An overlapping blend: one row of bytes, fenced at its ends, long enough for
// both rectangles; the model blends on its image as the target on it.
std::string RunOverlapping(const Target& t, const Case& c) {
  Rng rng(c.seed);
  const int32_t bpp = BytesPerPixel(c.format);
  const int32_t dest_pitch = (c.width * bpp + c.dest.gap) * (c.dest.upward ? -1 : 1);
  const RectLayout dest_rect{c.width, c.height, dest_pitch, bpp};
  const RectLayout src_rect{c.width, c.height, dest_pitch + c.overlap->pitch_change, bpp};
  const int32_t shift = c.overlap->shift;
  // The lowest and highest bytes of both, from the destination's first row:
  // rows lie evenly, so the first and the last rows bound the others.
  int64_t low = 0, high = 0;
  for (const int64_t at : {int64_t{0}, int64_t{dest_pitch} * (c.height - 1), int64_t{shift},
                           shift + int64_t{src_rect.pitch} * (c.height - 1)}) {
    low = std::min(low, at);
    high = std::max(high, at + dest_rect.RowBytes());
  }
  Surface whole(1, static_cast<int32_t>(high - low), 1,
                Placement{0, false, c.dest.margin, false, c.dest.at_start});
  whole.FillRandom(rng);
  const ptrdiff_t dest_at = static_cast<ptrdiff_t>(-low);
  uint8_t* dest = whole.first_row() + dest_at;
  FillRect(rng, dest, dest_rect, c.format, PixelMix{10, 30, 4});
  FillRect(rng, dest + shift, src_rect, c.format, c.mix);
  std::vector<uint8_t> want = whole.Image();
  uint8_t* want_dest = want.data() + whole.first_row_offset() + dest_at;
  const int32_t want_status = ModelBlend(want_dest, want_dest + shift, c.width, c.height,
                                         src_rect.pitch, dest_pitch, c.format);
  const int32_t status =
      t.blend(dest, dest + shift, c.width, c.height, src_rect.pitch, dest_pitch, c.format);
  char where[112];
  std::snprintf(where, sizeof where,
                ", source at destination%+d bytes, seed 0x%llx (pixel = byte of the "
                "surface from %lld)",
                shift, static_cast<unsigned long long>(c.seed), static_cast<long long>(low));
  return Verdict(
      Context(t, Routine::kBlend, c.format, c.width, c.height, dest_pitch, src_rect.pitch) + where,
      status, want_status, whole, want, nullptr, {});
}

// Runs a case; the result is the model's, or with `fixed_status` that status
// and no byte touched.
std::string Run(const Target& t, const Case& c, const int32_t* fixed_status) {
  if (c.overlap && fixed_status == nullptr) return RunOverlapping(t, c);
  Rng rng(c.seed);
  const bool blend = c.routine == Routine::kBlend;
  const int32_t bpp = c.bpp != 0 ? c.bpp : BytesPerPixel(c.format);
  Surface dest(bpp, c.width, c.height, c.dest);
  dest.FillRandom(rng);
  // Destinations hold fewer key values than sources, but black still occurs.
  FillRect(rng, dest.first_row(), dest.layout(), c.format, blend ? PixelMix{10, 30, 4} : c.mix);
  std::optional<Surface> src;
  std::vector<uint8_t> src_before;
  if (blend) {
    src.emplace(bpp, c.width, c.height, c.src);
    src->FillRandom(rng);
    if (c.fill_src) {
      c.fill_src(rng, src->first_row(), src->layout());
    } else {
      FillRect(rng, src->first_row(), src->layout(), c.format, c.mix);
    }
    src_before = src->Image();
  }
  std::vector<uint8_t> want = dest.Image();
  const int32_t dest_pitch = dest.layout().pitch;
  const int32_t src_pitch = blend ? src->layout().pitch : 0;
  // The same call on `on`, with row 0 of the destination at `row0`.
  auto call = [&](const Target& on, uint8_t* row0) {
    return blend ? on.blend(row0, src->first_row(), c.width, c.height, src_pitch, dest_pitch,
                            c.format)
                 : on.night(row0, c.width, c.height, dest_pitch, c.format);
  };
  const int32_t want_status = fixed_status != nullptr
                                  ? *fixed_status
                                  : call(ModelTarget(), want.data() + dest.first_row_offset());
  const int32_t status = call(t, dest.first_row());
  char seed[48];
  std::snprintf(seed, sizeof seed, ", seed 0x%llx", static_cast<unsigned long long>(c.seed));
  const std::string context =
      Context(t, c.routine, c.format, c.width, c.height, dest_pitch, src_pitch) + seed;
  return Verdict(context, status, want_status, dest, want, src ? &*src : nullptr, src_before);
}

}  // namespace

std::string CheckCase(const Target& target, const Case& c) { return Run(target, c, nullptr); }

Case RandomCase(Rng& rng, Routine routine, uint32_t format, int32_t width, int32_t height) {
  Case c;
  c.routine = routine;
  c.format = format;
  c.width = width;
  c.height = height;
  for (Placement* p : {&c.dest, &c.src}) {
    p->gap = rng.Between(0, 9);  // pitches often odd, rows start unaligned
    p->upward = rng.Chance(30);
    p->margin = rng.Between(0, 7);
    p->per_row = rng.Chance(10);
    p->at_start = rng.Chance(50);
  }
  c.mix = routine == Routine::kBlend ? PixelMix{35, 25, 4} : PixelMix{15, 30, 4};
  c.seed = rng.Next64();
  return c;
}

std::string CheckRandom(const Target& target, Routine routine, uint64_t seed, int count) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const int32_t width = i < 4 * 71 ? i / 4 : rng.Between(0, 70);  // every width at least once
    const int32_t height = rng.Between(1, 5);
    std::string failure =
        CheckCase(target, RandomCase(rng, routine, kAllFormats[i % 4], width, height));
    if (!failure.empty()) return failure;
  }
  return std::string();
}

Case RandomOverlapCase(Rng& rng, uint32_t format, int32_t width, int32_t height) {
  Case c = RandomCase(rng, Routine::kBlend, format, width, height);
  const int32_t bpp = BytesPerPixel(format);
  int32_t shift = bpp * (rng.Chance(50) ? rng.Between(-8, 8) : rng.Between(-150, 150));
  if (rng.Chance(15)) shift += rng.Between(1, bpp - 1);
  if (rng.Chance(20)) {
    const int32_t row = (width * bpp + c.dest.gap) * (c.dest.upward ? -1 : 1);
    shift += rng.Chance(50) ? row : -row;
  }
  c.overlap = Overlap{shift, rng.Chance(20) ? bpp * rng.Between(-3, 3) : 0};
  return c;
}

std::string CheckOverlapping(const Target& target, uint64_t seed, int count) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const Case c =
        RandomOverlapCase(rng, kAllFormats[i % 4], rng.Between(1, 240), rng.Between(1, 4));
    std::string failure = CheckCase(target, c);
    if (!failure.empty()) return failure;
  }
  return std::string();
}

std::string CheckBlendExamples(const Target& target) {
  Rng rng(0xA1FA);
  for (size_t i = 0; i < std::size(kBlendExamples); ++i) {
    const BlendExample& ex = kBlendExamples[i];
    const int32_t bpp = BytesPerPixel(ex.format);
    Surface dest(bpp, ex.width, 2, Placement{3, false, 5, false, false});
    Surface src(bpp, ex.width, 2, Placement{6, true, 5, false, true});
    dest.FillRandom(rng);
    src.FillRandom(rng);
    std::vector<uint8_t> want = dest.Image();
    const int32_t dp = dest.layout().pitch, sp = src.layout().pitch;
    for (int32_t r = 0; r < 2; ++r) {
      for (int32_t x = 0; x < ex.width; ++x) {
        PutPixel(dest.first_row() + r * dp, x, bpp, ex.dest[x]);
        PutPixel(src.first_row() + r * sp, x, bpp, ex.src[x]);
        PutPixel(want.data() + dest.first_row_offset() + r * dp, x, bpp, ex.expected[x]);
      }
    }
    const std::vector<uint8_t> src_before = src.Image();
    const int32_t rc =
        target.blend(dest.first_row(), src.first_row(), ex.width, 2, sp, dp, ex.format);
    const std::string failure =
        Verdict(Context(target, Routine::kBlend, ex.format, ex.width, 2, dp, sp) +
                    ", worked example " + std::to_string(i + 1),
                rc, 0, dest, want, &src, src_before);
    if (!failure.empty()) return failure;
  }
  return std::string();
}

std::string CheckNightExamples(const Target& target) {
  Rng rng(0x2A0C);
  for (size_t i = 0; i < std::size(kNightExamples); ++i) {
    const NightExample& ex = kNightExamples[i];
    const int32_t bpp = BytesPerPixel(ex.format);
    for (int32_t width = 1; width <= 9; ++width) {
      Surface s(bpp, width, 2, Placement{7, width % 2 == 0, 5, false, width % 3 == 0});
      s.FillRandom(rng);
      std::vector<uint8_t> want = s.Image();
      const int32_t pitch = s.layout().pitch;
      for (int32_t r = 0; r < 2; ++r) {
        for (int32_t x = 0; x < width; ++x) {
          PutPixel(s.first_row() + r * pitch, x, bpp, ex.before);
          PutPixel(want.data() + s.first_row_offset() + r * pitch, x, bpp,
                   x < width / 4 * 4 ? ex.in_group : ex.in_tail);
        }
      }
      const int32_t rc = target.night(s.first_row(), width, 2, pitch, ex.format);
      const std::string failure =
          Verdict(Context(target, Routine::kNight, ex.format, width, 2, pitch, 0) +
                      ", worked result " + std::to_string(i + 1),
                  rc, 0, s, want, nullptr, {});
      if (!failure.empty()) return failure;
    }
  }
  return std::string();
}

std::string CheckNightRepeated(const Target& target) {
  uint8_t pixel[4] = {0xFF, 0xFF, 0xFF, 0x5A};  // the fourth byte lies outside the rectangle
  const uint8_t expected[][3] = {{0x7F, 0x7F, 0x9F}, {0x3F, 0x3F, 0x6F}, {0x1F, 0x1F, 0x57},
                                 {0x0F, 0x0F, 0x4B}, {0x07, 0x07, 0x45}, {0x03, 0x03, 0x42},
                                 {0x01, 0x01, 0x41}, {0x00, 0x00, 0x40}, {0x00, 0x00, 0x40}};
  for (size_t call = 0; call < sizeof expected / sizeof expected[0]; ++call) {
    const std::string context = Context(target, Routine::kNight, kFormat24, 1, 1, 3, 0) +
                                ", call " + std::to_string(call + 1) + ": ";
    const int32_t rc = target.night(pixel, 1, 1, 3, kFormat24);
    if (rc != 0) return context + "returned " + std::to_string(rc);
    const uint8_t want[4] = {expected[call][0], expected[call][1], expected[call][2], 0x5A};
    std::string failure = FirstDifference(want, pixel, 4);
    if (failure.empty()) failure = X87Failure();
    if (!failure.empty()) return context + failure;
  }
  return std::string();
}

std::string CheckRejectsAndEmpty(const Target& target) {
  Rng rng(0xBAD);
  const uint32_t bad_formats[] = {2, 5, 0xFFFFFFFFu, 0x80000000u, 0x100u};
  for (Routine routine : {Routine::kBlend, Routine::kNight}) {
    for (uint32_t layout_of : kAllFormats) {  // the surface's bytes, laid out as some format
      for (uint32_t format : bad_formats) {
        // The code is looked at before the size.
        for (int32_t width : {9, 0}) {
          Case c = RandomCase(rng, routine, format, width, 3);
          c.bpp = BytesPerPixel(layout_of);
          const int32_t rejected = -1;
          std::string failure = Run(target, c, &rejected);
          if (!failure.empty()) return failure;
        }
      }
      const int32_t done = 0;
      const std::string failure = Run(target, RandomCase(rng, routine, layout_of, 0, 3), &done);
      if (!failure.empty()) return failure;
    }
  }
  return std::string();
}

std::string CheckBehaviour(const Target& target, uint64_t seed, int random_count) {
  for (auto check :
       {CheckBlendExamples, CheckNightExamples, CheckNightRepeated, CheckRejectsAndEmpty}) {
    std::string failure = check(target);
    if (!failure.empty()) return failure;
  }
  std::string failure = CheckRandom(target, Routine::kBlend, seed, random_count);
  if (failure.empty()) failure = CheckOverlapping(target, seed + 2, random_count / 2);
  return failure.empty() ? CheckRandom(target, Routine::kNight, seed + 1, random_count) : failure;
}

Case CaseFromFuzzInput(const uint8_t* data, size_t size) {
  auto byte = [&](size_t i) -> uint32_t { return i < size ? data[i] : 0u; };
  constexpr uint32_t kRejected[] = {2, 5, 0xFFFFFFFFu, 0x80000001u};
  Case c;
  const uint32_t b0 = byte(0);
  c.routine = (b0 & 1) ? Routine::kNight : Routine::kBlend;
  c.format = b0 >= 0xF8 ? kRejected[b0 & 3] : kAllFormats[(b0 >> 1) & 3];
  // Mostly narrow rows, where steps and tails meet; sometimes wide ones.
  const uint32_t w = byte(1) | byte(2) << 8;
  c.width = static_cast<int32_t>((byte(2) & 0x80) ? w % 400 : byte(1) % 72);
  c.height = 1 + static_cast<int32_t>(byte(3) % 6);
  c.dest.gap = static_cast<int32_t>(byte(4) & 15);
  c.dest.upward = (byte(4) & 0x10) != 0;
  c.src.upward = (byte(4) & 0x20) != 0;
  c.src.gap = static_cast<int32_t>(byte(5) & 15);
  c.dest.margin = static_cast<int32_t>(byte(6) & 15);
  c.src.margin = static_cast<int32_t>(byte(6) >> 4);
  // Key runs of 1..max_run pixels start with probability key_share/256.
  c.mix = PixelMix{byte(7) * 100 / 256, 25, 1 + byte(8) % 60};
  c.dest.per_row = (byte(9) & 1) != 0;
  c.src.per_row = (byte(9) & 2) != 0;
  c.dest.at_start = (byte(9) & 4) != 0;
  c.src.at_start = (byte(9) & 8) != 0;
  // Now and then a blend of a surface onto itself, shifted by up to 127
  // pixels either way, by whole rows or by bytes that split a pixel.
  if (c.routine == Routine::kBlend && (byte(10) & 1)) {
    const int32_t bpp = BytesPerPixel(c.format);
    const int32_t pixels = static_cast<int8_t>(byte(11));
    int32_t shift = bpp * pixels + static_cast<int32_t>(byte(12) % 4) % bpp;
    if (byte(10) & 2) shift += (byte(10) & 4 ? -1 : 1) * (c.width * bpp + c.dest.gap);
    const int32_t pitch_change = (byte(10) & 8) ? static_cast<int32_t>(byte(13) % 7) - 3 : 0;
    c.overlap = Overlap{shift, bpp * pitch_change};
  }
  uint64_t h = 0xCBF29CE484222325ull;  // FNV-1a over the whole input
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001B3ull;
  c.seed = h;
  return c;
}

}  // namespace glimfx_test
