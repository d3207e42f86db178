// The contract of an instruction set's operations, the `V` every vector
// kernel is written over; ops_sse2.h, ops_avx2.h and ops_avx512.h each supply
// exactly this. VectorOps gives what every instruction set shares, written
// with the compiler's vector types; an instruction set adds:
//
//   Average16(a, b)   the rounding average of 16-bit lanes
//   MoveMask8(v)      bit i: the top bit of byte i
//   ZeroBytes(v)      bit i: byte i is zero
//   kMaskedLanes      whether 4-byte lanes have masked moves; then:
//     DrawnLanes(key[, from])  the mask of the lanes not set in `key` (from
//                              lane `from` on)
//     MaskLoad32(p, m), MaskStore32(p, m, v)  a masked-off lane is neither
//                              read nor written
//     kMaskRegisters           whether masks are mask registers, where a
//                              masked move is one operation
//   kMaskedBytes      whether bytes have masked moves (bit i of a 32-bit mask
//                     for byte i) that cannot fault on masked-off bytes; then
//     MaskLoad8(p, m), MaskStore8(p, m, v)
//
// Sources built with different vector flags include this and every header of
// vector code: each keeps its contents in an anonymous namespace, so each
// source gets its own copy and the linker mixes no instruction sets.
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
// the load of a vector into every instruction that uses it.
template <class Vec>
inline Vec InRegister(Vec v) {
  asm("" : "+x"(v));
  return v;
}

// Asks for the destination's line ten lines ahead of `p`, to be written:
// masked loads read only drawn lanes, so the processor's own prefetchers
// lose track of the destination. Prefetches never fault.
inline void PrefetchDestination(const uint8_t* p) { __builtin_prefetch(p + 640, 1); }

// The half blend of every field of both operands, `half_mask` holding each
// field's bits once halved (pixel_format.h). With each field's lowest bit
// cleared, a field's sum carries only into the next field's cleared bit,
// which the halving moves back: so the rounding average of 16-bit lanes of
// the cleared operands is the blend, in one instruction.
template <class W>
inline typename W::Vec HalfSum(typename W::Vec a, typename W::Vec b, uint32_t half_mask) {
  const auto kept = W::Splat32(half_mask << 1);
  return W::Average16(W::And(a, kept), W::And(b, kept));
}

// Whether three vectors of W, one after another, may hold a 24-bit key pixel
// (three zero bytes) that lies within them. Any three bytes in a row hold a
// whole 16-bit lane, so a key pixel makes one lane zero; a drawn pixel seldom
// does (one lane in 65536), while one of its bytes is zero one time in 256,
// too often for a branch on zero bytes to predict.
template <class W>
inline bool MayHoldKey24(typename W::Vec a, typename W::Vec b, typename W::Vec c) {
  return W::MoveMask8(W::Or(W::Or(W::IsZero16(a), W::IsZero16(b)), W::IsZero16(c))) != 0;
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_ISA_OPS_H_
