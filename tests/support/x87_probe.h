// Probes of the x87 unit, for checking that a routine leaves no packed-integer
// (MMX) state behind: such state tags every x87 register in use, and the
// caller's floating-point code then computes NaN.
#ifndef GLIMFX_TESTS_SUPPORT_X87_PROBE_H_
#define GLIMFX_TESTS_SUPPORT_X87_PROBE_H_

#include <cstdint>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#define GLIMFX_TEST_HAVE_X87 1

namespace glimfx_test {

// The x87 tag word: 0xFFFF when every register is empty, as a caller may
// expect after any call.
static inline uint16_t X87TagWord() {
  uint8_t env[28];
  // Storing the environment masks every exception; loading it back undoes that.
  asm volatile("fnstenv %0\n\tfldenv %0" : "=m"(env));
  uint16_t tag;
  std::memcpy(&tag, env + 8, sizeof tag);
  return tag;
}

// a * b + c on the x87 unit itself, whatever the compiler's choice for double.
static inline double X87MulAdd(double a, double b, double c) {
  double out;
  asm volatile("fldl %1\n\tfldl %2\n\tfmulp\n\tfldl %3\n\tfaddp\n\tfstpl %0"
               : "=m"(out)
               : "m"(a), "m"(b), "m"(c));
  return out;
}

}  // namespace glimfx_test

#endif
#endif  // GLIMFX_TESTS_SUPPORT_X87_PROBE_H_
