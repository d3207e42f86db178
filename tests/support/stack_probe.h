// 32-bit x86 Windows only: calls a routine by pushing its 32-bit arguments
// with the stack pointer at a chosen residue modulo 16 when the routine
// starts (a 32-bit caller only promises 4-byte alignment), and measures how
// far the stack pointer ends from where it was before the pushes.
#ifndef GLIMFX_TESTS_SUPPORT_STACK_PROBE_H_
#define GLIMFX_TESTS_SUPPORT_STACK_PROBE_H_

#if defined(__i386__) && defined(_WIN32)
#define GLIMFX_HAVE_STACK_PROBE 1

#include <cstdint>
#include <string>
#include <vector>

#include "harness.h"

namespace glimfx_test {

// Every residue a 4-byte aligned stack pointer can have modulo 16.
constexpr int32_t kEntryResidues[] = {0, 4, 8, 12};

// Pushes `count` arguments last to first and calls `fn`, which starts with
// its stack pointer at `entry_residue` modulo 16. Pops nothing itself:
// *esp_shift is 0 when the callee removed its arguments, -4 x count when it
// left them to its caller.
extern "C" int32_t GlimfxCallCounted(const void* fn, const uint32_t* args, int32_t count,
                                     int32_t entry_residue, int32_t* esp_shift);

// Returns the stack pointer modulo 16 it started with; removes its seven
// arguments. Proves that the probe places the stack as asked.
extern "C" int32_t __stdcall GlimfxEntryResidue(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                                uint32_t, uint32_t);

// Calls whose stack pointer did not end `expected_shift` bytes from where
// it started.
struct StackLog {
  int calls = 0;
  std::vector<std::string> unbalanced;
};

// The half-blend and the night effect through the probe. `leading` goes
// before the routine's own arguments (an internal entry point's forced path);
// `expected_shift` is 0 for a routine that removes its arguments.
BlendFn ProbedBlend(const void* fn, std::vector<uint32_t> leading, int32_t entry_residue,
                    int32_t expected_shift, StackLog* log);
NightFn ProbedNight(const void* fn, std::vector<uint32_t> leading, int32_t entry_residue,
                    int32_t expected_shift, StackLog* log);

// Every behaviour check (worked examples, early returns, random rectangles of
// both routines); an empty string when every result and every stack end is right.
std::string CheckThroughProbe(const Target& probed, const StackLog& log, uint64_t seed);

}  // namespace glimfx_test

#endif
#endif  // GLIMFX_TESTS_SUPPORT_STACK_PROBE_H_
