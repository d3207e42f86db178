// Half-blend rows over 4-byte lanes: a pair of 16-bit pixels or one 32-bit
// pixel. A key lane (an all-key pair, a 32-bit key pixel) must be neither
// read nor written in the destination; every other lane is blended.
//
// Sprite sources alternate key and drawn runs of a few to a few dozen
// pixels. Without masked moves of 4-byte lanes (SSE2), deciding per vector
// would need a scalar lane loop at every mixed vector, so the row is walked
// by runs instead: the key lanes of up to 64 lanes of source are gathered
// into one bit mask (straight-line code), and each run of drawn lanes is
// blended with whole vectors, its last vector placed to end exactly at the
// run's end. That vector overlaps the one before it, so its result is
// computed from the destination before anything of the run is stored: a
// lane stored twice gets the same value twice. With masked moves (AVX2)
// vectors need no runs (see BlendMaskedLanes).
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_HALF_BLEND_LANES_H_
#define GLIMFX_BLEND_HALF_BLEND_LANES_H_

#include <cstdint>
#include <type_traits>

#include "isa_ops.h"
#include "row_loops.h"

namespace glimfx {
namespace {

// `V` is an instruction set's operations (ops_sse2.h): its vectors hold
// V::kBytes / 4 lanes, and V::Narrow is the same for half as many. `Lanes`
// gives, for any such W:
//   KeyLanes<W>(sv)   all ones in each key lane of the source vector sv
//   Blend<W>(dv, sv)  the blend of the drawn lanes of dv and sv
//   BlendLane(d, s)   one drawn lane
// and, for masked rectangles, LaneCount(width), BlendRowRest(d, s, width) for
// what a row holds past its lanes, WholeLanes(width) when that is nothing,
// and PlainUntilKeyed<V>(lanes), whether rows of that many lanes choose
// plain vectors (WalkMaskedRows),
// with, for its plain vectors:
//   Plain<W>(sv)           whether every lane of sv is drawn and blends alone
//   PlainBlend<W>(dv, sv)  the blend of such a vector
template <class W, class Lanes>
inline uint32_t KeyBits(const uint8_t* s) {
  return W::MoveMask32(Lanes::template KeyLanes<W>(W::Load(s)));
}

template <class W, class Lanes>
inline typename W::Vec BlendAt(const uint8_t* d, const uint8_t* s) {
  return Lanes::template Blend<W>(W::Load(d), W::Load(s));
}

// Without a count instruction for 64 bits, compilers call a library helper
// for __builtin_ctzll in 32-bit builds; two 32-bit counts avoid the call.
inline int32_t LowestBit64(uint64_t m) {
  if (sizeof(void*) >= 8) return __builtin_ctzll(m);
  const uint32_t low = static_cast<uint32_t>(m);
  return low != 0 ? __builtin_ctz(low) : 32 + __builtin_ctz(static_cast<uint32_t>(m >> 32));
}

// Bytes [a, b) of a run, b - a >= W::kBytes, blended with whole vectors of
// W: the last one is placed to end exactly at b. It overlaps the one before
// it, so its result is computed before anything of the run is stored, and a
// byte stored twice gets the same value twice. `blend(dv, sv)` blends one
// vector.
template <class W, class F>
inline void BlendSpanByVectors(uint8_t* d, const uint8_t* s, int32_t a, int32_t b, F blend) {
  const int32_t at_last = b - W::kBytes;
  const auto last = blend(W::Load(d + at_last), W::Load(s + at_last));
  for (int32_t i = a; i < at_last; i += W::kBytes) {
    W::Store(d + i, blend(W::Load(d + i), W::Load(s + i)));
  }
  W::Store(d + at_last, last);
}

template <class V, class Lanes>
inline void BlendDrawnRun(uint8_t* d, const uint8_t* s, int32_t a, int32_t b) {
  using H = typename V::Narrow;
  const int32_t n = b - a;
  if (n >= V::kBytes / 4) {
    BlendSpanByVectors<V>(d, s, 4 * a, 4 * b, [](typename V::Vec dv, typename V::Vec sv) {
      return Lanes::template Blend<V>(dv, sv);
    });
  } else if (n >= H::kBytes / 4) {
    BlendSpanByVectors<H>(d, s, 4 * a, 4 * b, [](typename H::Vec dv, typename H::Vec sv) {
      return Lanes::template Blend<H>(dv, sv);
    });
  } else {
    for (int32_t i = a; i < b; ++i) Lanes::BlendLane(d + 4 * i, s + 4 * i);
  }
}

// Looks at lanes [i, end), at most 64 of them, through one bit mask and
// blends each drawn run that ends inside, or that reaches `end` when `end`
// is the row's last lane. Returns where the walk goes on: the start of a run
// that reaches `end` (its length is not known yet), or `end`. Needs
// end >= V::kBytes / 4; a short last stretch is looked at through the row's last
// vector, which overlaps lanes already done.
template <class V, class Lanes>
inline int32_t BlendSegmentRuns(uint8_t* d, const uint8_t* s, int32_t i, int32_t end,
                                int32_t lanes) {
  constexpr int32_t k = V::kBytes / 4;
  const int32_t count = end - i;
  uint64_t keys = 0;
  int32_t j = 0;
  for (; j + k <= count; j += k) {
    keys |= static_cast<uint64_t>(KeyBits<V, Lanes>(s + 4 * (i + j))) << j;
  }
  if (j < count) {
    const int32_t at = count - k;
    const uint64_t bits = KeyBits<V, Lanes>(s + 4 * (i + at));
    keys |= at >= 0 ? bits << at : bits >> -at;
  }
  const uint64_t in_segment = count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
  uint64_t drawn = ~keys & in_segment;
  while (drawn != 0) {
    const int32_t a = LowestBit64(drawn);
    const uint64_t after = ~drawn & (~uint64_t{0} << a);
    if (after == 0) {  // only when count == 64
      if (end < lanes) return i + a;
      BlendDrawnRun<V, Lanes>(d, s, i + a, end);
      return end;
    }
    const int32_t b = LowestBit64(after);
    BlendDrawnRun<V, Lanes>(d, s, i + a, i + b);
    drawn &= ~uint64_t{0} << b;
  }
  return end;
}

// Blends `lanes` lanes from d/s; needs at least V::kBytes / 4 lanes. Vectors without
// a key lane are blended as they come, which keeps key-free stretches on one
// well-predicted branch; at a vector with a key lane the next 64 lanes are
// walked by runs. Source vectors are read only inside the row.
template <class V, class Lanes>
inline void BlendLaneRuns(uint8_t* d, const uint8_t* s, int32_t lanes) {
  constexpr int32_t k = V::kBytes / 4;
  int32_t i = 0;
  while (i < lanes) {
    for (; lanes - i >= k; i += k) {
      uint8_t* dv = d + 4 * i;
      const uint8_t* sv = s + 4 * i;
      if (KeyBits<V, Lanes>(sv) != 0) break;
      V::Store(dv, BlendAt<V, Lanes>(dv, sv));
    }
    if (i == lanes) break;
    i = BlendSegmentRuns<V, Lanes>(d, s, i, lanes - i > 64 ? i + 64 : lanes, lanes);
  }
}

// For instruction sets with masked moves of 4-byte lanes (V::kMaskedLanes).
// With kEveryVectorMasked, every vector loads and stores only its drawn lanes
// through a mask, with no branch: a sprite's vectors change at random among
// all key, all drawn and mixed, and a branch on that mispredicts at every
// change, which costs more than the masked moves (on sprites past the
// caches, and on a frame of many small ones). Otherwise each vector
// decides alone: a plain one (Lanes::Plain) is loaded, blended and stored
// whole, any other masked. That pays on rows without key pixels, where the
// branch is always right and plain vectors are cheaper.
//
// Blends whole vectors from lane i while i < end, leaving i after the last;
// returns whether one was not plain. kPrefetch: masked vectors ask for the
// destination ahead (PrefetchDestination); plain ones need not, their loads
// keep the processor's prefetchers on track.
template <class V, class Lanes, bool kEveryVectorMasked, bool kPrefetch = false>
inline bool BlendMaskedVectors(uint8_t* d, const uint8_t* s, int32_t& i, int32_t end) {
  constexpr int32_t k = V::kBytes / 4;
  bool keyed = false;
  for (; i < end; i += k) {
    uint8_t* dv = d + 4 * i;
    const auto sv = InRegister(V::Load(s + 4 * i));
    if constexpr (!kEveryVectorMasked) {
      if (Lanes::template Plain<V>(sv)) {
        V::Store(dv, Lanes::template PlainBlend<V>(V::Load(dv), sv));
        continue;
      }
      keyed = true;
    }
    if constexpr (kPrefetch) PrefetchDestination(dv);
    const auto drawn = V::DrawnLanes(Lanes::template KeyLanes<V>(sv));
    V::MaskStore32(dv, drawn, Lanes::template Blend<V>(V::MaskLoad32(dv, drawn), sv));
  }
  return keyed;
}

// A whole row of `lanes` lanes, as BlendMaskedVectors. The row's last lanes,
// fewer than a vector, go through masks. kPastRow (V::kMaskedPastRow): in
// one vector that starts after the whole ones and reaches past the row,
// whose lanes there load as zero, so as key lanes, and are neither read nor
// written. Otherwise in a vector that ends at the row's end, and a row
// shorter than a vector is done lane by lane.
template <class V, class Lanes, bool kEveryVectorMasked, bool kPastRow, bool kPrefetch>
inline bool BlendMaskedLanes(uint8_t* d, const uint8_t* s, int32_t lanes) {
  constexpr int32_t k = V::kBytes / 4;
  if constexpr (kPastRow) {
    int32_t i = 0;  // whole vectors while one fits, then at most one masked
    const bool keyed =
        BlendMaskedVectors<V, Lanes, kEveryVectorMasked, kPrefetch>(d, s, i, lanes - k + 1);
    if (i != lanes) {
      const auto sv = V::MaskLoad32(s + 4 * i, V::FirstLanes(lanes - i));
      const auto drawn = V::DrawnLanes(Lanes::template KeyLanes<V>(sv));
      V::MaskStore32(d + 4 * i, drawn,
                     Lanes::template Blend<V>(V::MaskLoad32(d + 4 * i, drawn), sv));
    }
    return keyed;
  }
  // With lanes left over, the last whole vector waits for the end (below).
  const bool rest = lanes % k != 0 && lanes > k;
  int32_t i = 0;
  bool keyed = BlendMaskedVectors<V, Lanes, kEveryVectorMasked, kPrefetch>(
      d, s, i, lanes - lanes % k - (rest ? k : 0));
  if (i == lanes) return keyed;
  if (lanes < k) {
    for (; i < lanes; ++i) Lanes::BlendLane(d + 4 * i, s + 4 * i);
    return keyed;
  }
  // The last whole vector, then one that ends exactly at the row's end, over
  // lanes already done, which its mask leaves out: no vector reaches past
  // the row, so nothing there can fault, whatever a processor does with
  // masked-off lanes. The two overlap, and a load overlapping a masked store
  // waits for it to be written, so both are loaded before either is stored.
  const auto sv = V::Load(s + 4 * i);
  const auto key = Lanes::template KeyLanes<V>(sv);
  if constexpr (!kEveryVectorMasked) keyed |= !Lanes::template Plain<V>(sv);
  const auto drawn = V::DrawnLanes(key);
  const auto blended = Lanes::template Blend<V>(V::MaskLoad32(d + 4 * i, drawn), sv);
  const int32_t at = lanes - k;
  const auto sv_end = V::Load(s + 4 * at);
  // Its lanes from i + k on: those before were done by the vector at i.
  const auto drawn_end = V::DrawnLanes(Lanes::template KeyLanes<V>(sv_end), i + k - at);
  const auto blended_end = Lanes::template Blend<V>(V::MaskLoad32(d + 4 * at, drawn_end), sv_end);
  V::MaskStore32(d + 4 * i, drawn, blended);
  V::MaskStore32(d + 4 * at, drawn_end, blended_end);
  return keyed;
}

// Rows through `Row<kEveryVectorMasked>`. kChoosing: rows choose per vector
// until one is not plain, then every vector is masked, so an opaque source
// keeps its plain vectors and a sprite pays at most one row of
// mispredictions. Otherwise every vector is masked from the first row.
template <bool kChoosing, class Row>
inline void WalkMaskedRows(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                           int32_t s_pitch, int32_t d_pitch, Row row) {
  const auto masked = [row](uint8_t* dr, const uint8_t* sr, int32_t) {
    row(std::true_type{}, dr, sr);
  };
  if constexpr (kChoosing) {
    const auto choosing = [row](uint8_t* dr, const uint8_t* sr, int32_t) {
      return row(std::false_type{}, dr, sr);
    };
    WalkRowsSwitching(d, s, width, height, s_pitch, d_pitch, choosing, masked);
  } else {
    WalkRows(d, s, width, height, s_pitch, d_pitch, masked);
  }
}

// Rectangles by masked lanes: rows of whole vectors (tiles 16 or 32 pixels
// wide, say), and any rows. Rows of one or two vectors (kVectors) are known
// at compile time, so they take no loop over their vectors.
template <class V, class Lanes, bool kChoosing, int32_t kVectors>
__attribute__((noinline)) void BlendWholeVectorRect(uint8_t* d, const uint8_t* s, int32_t width,
                                                    int32_t height, int32_t s_pitch,
                                                    int32_t d_pitch) {
  const int32_t lanes = kVectors > 0 ? kVectors * (V::kBytes / 4) : Lanes::LaneCount(width);
  WalkMaskedRows<kChoosing>(d, s, width, height, s_pitch, d_pitch,
                            [lanes](auto every_masked, uint8_t* dr, const uint8_t* sr) {
                              int32_t i = 0;
                              return BlendMaskedVectors<V, Lanes, decltype(every_masked)::value>(
                                  dr, sr, i, lanes);
                            });
}

template <class V, class Lanes, bool kChoosing, bool kPastRow, bool kPrefetch = false>
__attribute__((noinline)) void BlendAnyRowRect(uint8_t* d, const uint8_t* s, int32_t width,
                                               int32_t height, int32_t s_pitch, int32_t d_pitch) {
  const int32_t lanes = Lanes::LaneCount(width);
  WalkMaskedRows<kChoosing>(
      d, s, width, height, s_pitch, d_pitch,
      [lanes, width](auto every_masked, uint8_t* dr, const uint8_t* sr) {
        const bool keyed =
            BlendMaskedLanes<V, Lanes, decltype(every_masked)::value, kPastRow, kPrefetch>(dr, sr,
                                                                                           lanes);
        Lanes::BlendRowRest(dr, sr, width);
        return keyed;
      });
}

// Rectangles of this many bytes and more ask for the destination ahead: it
// pays past the caches and costs on rectangles that fit them.
constexpr int64_t kPrefetchRectBytes = 2 * 1024 * 1024;

// A rectangle of one kind (above). Rows of whole vectors get a function of
// their own, without the tests for a row's last lanes. Apart, each kind
// keeps its own registers.
// A last vector past the row is taken only where no other row of the
// destination lies within its reach: a load overlapping an earlier masked
// store waits until that store is written, so the next row's first loads
// would wait.
template <class V, class Lanes, bool kChoosing>
inline void BlendMaskedRectOf(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                              int32_t s_pitch, int32_t d_pitch) {
  constexpr int32_t k = V::kBytes / 4;
  const int32_t lanes = Lanes::LaneCount(width);
  // Past the caches, a row's tests cost little beside its memory.
  if (int64_t{4} * lanes * height >= kPrefetchRectBytes) {
    BlendAnyRowRect<V, Lanes, kChoosing, false, true>(d, s, width, height, s_pitch, d_pitch);
    return;
  }
  if (lanes % k == 0 && Lanes::WholeLanes(width)) {
    if (lanes == k) {
      BlendWholeVectorRect<V, Lanes, kChoosing, 1>(d, s, width, height, s_pitch, d_pitch);
    } else if (lanes == 2 * k) {
      BlendWholeVectorRect<V, Lanes, kChoosing, 2>(d, s, width, height, s_pitch, d_pitch);
    } else {
      BlendWholeVectorRect<V, Lanes, kChoosing, 0>(d, s, width, height, s_pitch, d_pitch);
    }
    return;
  }
  if constexpr (V::kMaskedPastRow) {
    const int32_t reach = 4 * (lanes - lanes % k) + V::kBytes;
    if (d_pitch >= reach || d_pitch <= -reach) {
      BlendAnyRowRect<V, Lanes, kChoosing, true>(d, s, width, height, s_pitch, d_pitch);
      return;
    }
  }
  BlendAnyRowRect<V, Lanes, kChoosing, false>(d, s, width, height, s_pitch, d_pitch);
}

// A rectangle by masked lanes, its rows choosing plain vectors or not as
// Lanes::PlainUntilKeyed says for their width.
template <class V, class Lanes>
inline void BlendMaskedRect(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                            int32_t s_pitch, int32_t d_pitch) {
  if (Lanes::template PlainUntilKeyed<V>(Lanes::LaneCount(width))) {
    BlendMaskedRectOf<V, Lanes, true>(d, s, width, height, s_pitch, d_pitch);
  } else {
    BlendMaskedRectOf<V, Lanes, false>(d, s, width, height, s_pitch, d_pitch);
  }
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_LANES_H_
