// The half blend's units, the stretch of a row one key decision covers: a
// pair of 16-bit pixels (a key unit when both are key pixels; in a drawn pair
// a key pixel stands in for its own destination pixel), or one 24- or 32-bit
// pixel. A key unit's destination is neither read nor written. Each unit
// gives the kernels, for any instruction set's operations W:
//   kLayout                    the layout's index in the path tables
//   kBytes, kPixels, Units(width)  its bytes, pixels, and how many whole
//                              ones a row holds
//   BlendUnit(d, s)            one unit's blend
//   BlendRest(d, s, width)     what a row holds past its whole units
//   Blend<W>(dv, sv)           a vector of units blended, key units aside
//   KeyBytes<W>(sv)            bit i: byte i belongs to a key unit (24-bit:
//                              byte i is zero; the kernels find the pixels)
// and, in 4-byte units, KeyLanes<W>(sv), all ones in each key unit; Plain<W>(sv),
// whether sv holds no key pixel, and PlainBlend<W>(dv, sv), the blend then.
#ifndef GLIMFX_BLEND_HALF_BLEND_UNITS_H_
#define GLIMFX_BLEND_HALF_BLEND_UNITS_H_

#include <cstdint>

#include "half_blend_rows.h"
#include "isa_ops.h"
#include "pixel_format.h"
#include "pixel_io.h"

namespace glimfx {
namespace {

template <uint32_t kFormat, uint32_t kPairMask, uint16_t kHalfMask>
struct Pairs {
  static constexpr int32_t kLayout = LayoutIndex(kFormat);
  static constexpr int32_t kBytes = 4;
  static constexpr int32_t kPixels = 2;
  static int32_t Units(int32_t width) { return width >> 1; }
  static void BlendUnit(uint8_t* d, const uint8_t* s) {
    BlendRow16_Scalar<kPairMask, kHalfMask>(d, s, 2);
  }
  static void BlendRest(uint8_t* d, const uint8_t* s, int32_t width) {
    if (width & 1) BlendRow16_Scalar<kPairMask, kHalfMask>(d + 2 * width - 2, s + 2 * width - 2, 1);
  }
  template <class W>
  static typename W::Vec KeyLanes(typename W::Vec s) {
    return W::IsZero32(s);
  }
  template <class W>
  static uint32_t KeyBytes(typename W::Vec s) {
    return W::MoveMask8(KeyLanes<W>(s));
  }
  template <class W>
  static typename W::Vec Blend(typename W::Vec d, typename W::Vec s) {
    return HalfSum<W>(d, W::Or(s, W::And(d, W::IsZero16(s))), kPairMask);
  }
  // Without a key pixel no key pixel stands in.
  template <class W>
  static bool Plain(typename W::Vec s) {
    return W::MoveMask8(W::IsZero16(s)) == 0;
  }
  template <class W>
  static typename W::Vec PlainBlend(typename W::Vec d, typename W::Vec s) {
    return HalfSum<W>(d, s, kPairMask);
  }
};

using Pairs555 = Pairs<kFormat555, kPairMask555, kHalfMask555>;
using Pairs565 = Pairs<kFormat565, kPairMask565, kHalfMask565>;

// A unit of one pixel: a row holds nothing past its units.
struct OnePixel {
  static constexpr int32_t kPixels = 1;
  static int32_t Units(int32_t width) { return width; }
  static void BlendRest(uint8_t*, const uint8_t*, int32_t) {}
};

// The top byte is no colour: it marks nothing and ends at zero.
struct Pixels32 : OnePixel {
  static constexpr int32_t kLayout = LayoutIndex(kFormat32);
  static constexpr int32_t kBytes = 4;
  static void BlendUnit(uint8_t* d, const uint8_t* s) { BlendRow32_Scalar(d, s, 1); }
  template <class W>
  static typename W::Vec KeyLanes(typename W::Vec s) {
    return W::IsZero32(W::And(s, W::Splat32(0xFFFFFF)));
  }
  template <class W>
  static uint32_t KeyBytes(typename W::Vec s) {
    return W::MoveMask8(KeyLanes<W>(s));
  }
  template <class W>
  static typename W::Vec Blend(typename W::Vec d, typename W::Vec s) {
    return HalfSum<W>(d, s, kHalfMask888);
  }
  template <class W>
  static bool Plain(typename W::Vec s) {
    return KeyBytes<W>(s) == 0;
  }
  template <class W>
  static typename W::Vec PlainBlend(typename W::Vec d, typename W::Vec s) {
    return Blend<W>(d, s);
  }
};

// Every byte blends alike; pixel boundaries only matter for finding keys.
struct Pixels24 : OnePixel {
  static constexpr int32_t kLayout = LayoutIndex(kFormat24);
  static constexpr int32_t kBytes = 3;
  static void BlendUnit(uint8_t* d, const uint8_t* s) { BlendRow24_Scalar(d, s, 1); }
  template <class W>
  static uint32_t KeyBytes(typename W::Vec s) {
    return W::ZeroBytes(s);
  }
  template <class W>
  static typename W::Vec Blend(typename W::Vec d, typename W::Vec s) {
    return HalfSum<W>(d, s, kByteHalfMask);
  }
};

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_UNITS_H_
