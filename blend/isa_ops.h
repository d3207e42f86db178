// The contract of an instruction set's operations, the `V` every vector
// kernel is written over (ops_sse2.h, ops_avx2.h, ops_avx512.h each supply
// exactly this). VectorOps below gives the part every instruction set shares,
// written with the compiler's vector types; an instruction set adds:
//
//   Average16(a, b)      the rounding average of 16-bit lanes
//   MoveMask8(v)         bit i: the top bit of byte i
//   MoveMask32(v)        bit i: the top bit of 4-byte lane i
//   ZeroBytes(v)         bit i: byte i is zero
//   Narrow               the same operations on vectors half as wide
//   kMaskedLanes         whether 4-byte lanes have masked moves; then:
//     kOneOpMaskedLanes    a masked move is one operation
//     kMaskedPastRow       a masked-off lane is neither read nor written, and
//                          cannot fault, even past the row
//     DrawnLanes(key[, from])  the mask of lanes not set in `key` (from lane
//                          `from` on)
//     FirstLanes(n)        the mask of the first n lanes (kMaskedPastRow)
//     MaskLoad32(p, m), MaskStore32(p, m, v)
//   kMaskedBytes         whether bytes have masked moves (a 32-bit mask, bit
//                        i for byte i); then MaskLoad8(p, m), MaskStore8(p, m, v)
//
// Below VectorOps, the helpers every kernel builds from these.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_ISA_OPS_H_
#define GLIMFX_BLEND_ISA_OPS_H_

#include <cstdint>
#include <cstring>

namespace glimfx {
namespace {

template <int32_t kSize>
struct VectorOps {
  // The type the intrinsics take (__m128i, __m256i).
  typedef long long Vec __attribute__((vector_size(kSize)));
  static constexpr int32_t kBytes = kSize;

  static Vec Load(const uint8_t* p) {
    Vec v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static void Store(uint8_t* p, Vec v) { std::memcpy(p, &v, sizeof v); }
  static Vec Splat32(uint32_t v) { return Vec(U32{} + v); }
  static Vec And(Vec a, Vec b) { return a & b; }
  static Vec AndNot(Vec a, Vec b) { return ~a & b; }
  static Vec Or(Vec a, Vec b) { return a | b; }
  // Callers keep every field from overflowing, so no add carries across a
  // 16-bit lane and the lane width serves every layout.
  static Vec Add(Vec a, Vec b) { return Vec(U16(a) + U16(b)); }
  static Vec Sub16(Vec a, Vec b) { return Vec(U16(a) - U16(b)); }
  // Within 16-bit lanes; callers mask off the bits that cross a field.
  static Vec ShiftRight1(Vec v) { return Vec(U16(v) >> 1); }
  // All ones in each lane that is zero (or above zero, as signed).
  static Vec IsZero8(Vec v) { return Vec(I8(v) == 0); }
  static Vec IsZero16(Vec v) { return Vec(I16(v) == 0); }
  static Vec IsPositive16(Vec v) { return Vec(I16(v) > 0); }
  static Vec IsZero32(Vec v) { return Vec(I32(v) == 0); }

 private:
  typedef int8_t I8 __attribute__((vector_size(kSize)));
  typedef int16_t I16 __attribute__((vector_size(kSize)));
  typedef uint16_t U16 __attribute__((vector_size(kSize)));
  typedef int32_t I32 __attribute__((vector_size(kSize)));
  typedef uint32_t U32 __attribute__((vector_size(kSize)));
};

// Keeps `v` in a register. Short of registers, 32-bit builds otherwise fold
// the load of a vector into every instruction that uses it, loading the same
// vector once for each.
template <class Vec>
inline Vec InRegister(Vec v) {
  asm("" : "+x"(v));
  return v;
}

// Asks for the destination's line ten lines ahead of `p`, to be written.
// Masked loads read only drawn lanes and none of an all-key vector, so the
// processor's own prefetchers lose track of the destination past the caches,
// and each masked store waits for its line. Prefetches never fault, so one
// past the row does no harm.
inline void PrefetchDestination(const uint8_t* p) { __builtin_prefetch(p + 640, 1); }

// Halves every field of both operands and adds the halves: the half blend,
// `half_mask` holding each field's bits once halved (pixel_format.h). The
// same as halving the sum of both operands with each field's lowest bit
// cleared: a field's sum can carry only into the next field's cleared lowest
// bit, which the halving moves back into the field's top bit. Every 16-bit
// lane of both operands is then even, so the rounding average of 16-bit lanes
// (sums of 17 bits) is that halved sum, in one instruction.
template <class W>
inline typename W::Vec HalfSum(typename W::Vec a, typename W::Vec b, uint32_t half_mask) {
  const auto kept = W::Splat32(half_mask << 1);
  return W::Average16(W::And(a, kept), W::And(b, kept));
}

// Whether three vectors of W, one after another, may hold a 24-bit key pixel
// (three zero bytes) that lies within them. The 16-bit lanes tile the three
// vectors, so any three bytes in a row hold a whole lane: a key pixel makes
// one lane zero. A drawn pixel seldom does (a lane of random bytes one time
// in 65536), while one of its bytes is zero one time in 256: opaque pixels
// so hold a zero byte in every third step of 96 bytes, which no branch on
// zero bytes predicts.
template <class W>
inline bool MayHoldKey24(typename W::Vec a, typename W::Vec b, typename W::Vec c) {
  return W::MoveMask8(W::Or(W::Or(W::IsZero16(a), W::IsZero16(b)), W::IsZero16(c))) != 0;
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_ISA_OPS_H_
