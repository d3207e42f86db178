#include "stack_probe.h"

#ifdef GLIMFX_HAVE_STACK_PROBE

#include <utility>

namespace glimfx_test {

// The frame is kept in ebp; the pushes start from a stack pointer chosen so
// that, after them and the return address, the callee sees the residue.
asm(R"(
  .text
  .globl _GlimfxCallCounted
_GlimfxCallCounted:
  pushl %ebp
  movl %esp, %ebp
  pushl %esi
  pushl %edi
  pushl %ebx
  movl 12(%ebp), %edi
  movl 16(%ebp), %ecx
  leal 4(,%ecx,4), %eax
  movl %esp, %edx
  subl %eax, %edx
  subl $64, %edx
  andl $-16, %edx
  addl 20(%ebp), %edx
  addl %eax, %edx
  movl %edx, %esp
  movl %esp, %esi
1:
  testl %ecx, %ecx
  jz 2f
  pushl -4(%edi,%ecx,4)
  decl %ecx
  jmp 1b
2:
  call *8(%ebp)
  movl %esp, %edx
  subl %esi, %edx
  movl 24(%ebp), %ecx
  movl %edx, (%ecx)
  leal -12(%ebp), %esp
  popl %ebx
  popl %edi
  popl %esi
  popl %ebp
  ret

  .globl _GlimfxEntryResidue@28
_GlimfxEntryResidue@28:
  movl %esp, %eax
  andl $15, %eax
  ret $28
)");

namespace {

uint32_t Arg(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
uint32_t Arg(int32_t v) { return static_cast<uint32_t>(v); }

int32_t Call(const void* fn, const std::vector<uint32_t>& args, int32_t entry_residue,
             int32_t expected_shift, StackLog* log, const std::string& what) {
  int32_t shift = 0;
  const int32_t rc =
      GlimfxCallCounted(fn, args.data(), static_cast<int32_t>(args.size()), entry_residue, &shift);
  ++log->calls;
  if (shift != expected_shift) {
    log->unbalanced.push_back(what + " entered at stack residue " + std::to_string(entry_residue) +
                              ": stack pointer ended " + std::to_string(shift) +
                              " bytes away, expected " + std::to_string(expected_shift));
  }
  return rc;
}

}  // namespace

BlendFn ProbedBlend(const void* fn, std::vector<uint32_t> leading, int32_t entry_residue,
                    int32_t expected_shift, StackLog* log) {
  return [=](uint8_t* dest, const uint8_t* src, int32_t width, int32_t height, int32_t src_pitch,
             int32_t dest_pitch, uint32_t format) {
    std::vector<uint32_t> args = leading;
    args.insert(args.end(), {Arg(dest), Arg(src), Arg(width), Arg(height), Arg(src_pitch),
                             Arg(dest_pitch), format});
    return Call(
        fn, args, entry_residue, expected_shift, log,
        "BltAlphaFast format " + std::to_string(format) + " width " + std::to_string(width));
  };
}

NightFn ProbedNight(const void* fn, std::vector<uint32_t> leading, int32_t entry_residue,
                    int32_t expected_shift, StackLog* log) {
  return [=](uint8_t* surface, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
    std::vector<uint32_t> args = leading;
    args.insert(args.end(), {Arg(surface), Arg(width), Arg(height), Arg(pitch), format});
    return Call(
        fn, args, entry_residue, expected_shift, log,
        "BltEfectoNoche format " + std::to_string(format) + " width " + std::to_string(width));
  };
}

std::string CheckThroughProbe(const Target& probed, const StackLog& log, uint64_t seed) {
  // Results are checked too, so the probe is known to pass the arguments right;
  // the rejected codes and empty rectangles take the early returns.
  std::string failure = CheckBehaviour(probed, seed, 300);
  if (failure.empty()) {
    uint8_t pixel[4] = {};
    if (probed.blend(pixel, pixel, -1, 1, 4, 4, 4) != 0 || probed.night(pixel, 1, 0, 4, 4) != 0) {
      failure = probed.name + ": a negative width or zero height did not return 0";
    }
  }
  if (failure.empty() && log.calls < 800) {
    failure = probed.name + ": only " + std::to_string(log.calls) + " calls went through the probe";
  }
  if (failure.empty() && !log.unbalanced.empty()) {
    failure = probed.name + ": " + std::to_string(log.unbalanced.size()) +
              " unbalanced calls, first: " + log.unbalanced.front();
  }
  return failure;
}

}  // namespace glimfx_test

#endif
