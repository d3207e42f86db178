/* A host built the way an MSVC project builds one: compiled in MSVC mode,
 * linked by lld-link against glimfx.lib and a kernel32 import library, with
 * no C runtime. It calls both exports as glimfx.h declares them (the C
 * header's round trip, c_header.c), then through a probe that measures the
 * stack pointer around each call. The process exits with the number of the
 * first failed check: 1-5 the round trip's step, 51-60 the probed calls, 90
 * and 91 a stack pointer left elsewhere, 100 an exception; 0 when all hold. */
#include "glimfx.h"

__declspec(dllimport) void __stdcall ExitProcess(uint32_t code);
__declspec(dllimport) void* __stdcall GetStdHandle(uint32_t which);
__declspec(dllimport) int32_t __stdcall WriteFile(void* file, const void* data, uint32_t size,
                                                  uint32_t* written, void* overlapped);
typedef int32_t(__stdcall* ExceptionFilter)(void* pointers);
__declspec(dllimport) ExceptionFilter __stdcall SetUnhandledExceptionFilter(ExceptionFilter filter);

/* Pushes or loads `count` arguments as the platform's C convention does,
 * calls `fn`, and stores how far the stack pointer ended from where it was
 * before the arguments: 0 when a 32-bit __stdcall routine removed them. */
int32_t HostCallCounted(const void* fn, const uintptr_t* args, int32_t count, int32_t* shift);

#if defined(__i386__)
__asm__(
    ".text\n"
    ".globl _HostCallCounted\n"
    "_HostCallCounted:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  pushl %esi\n"
    "  pushl %edi\n"
    "  movl 12(%ebp), %edi\n"
    "  movl 16(%ebp), %ecx\n"
    "  movl %esp, %esi\n"
    "1:\n"
    "  testl %ecx, %ecx\n"
    "  jz 2f\n"
    "  pushl -4(%edi,%ecx,4)\n"
    "  decl %ecx\n"
    "  jmp 1b\n"
    "2:\n"
    "  calll *8(%ebp)\n"
    "  movl %esp, %edx\n"
    "  subl %esi, %edx\n"
    "  movl 20(%ebp), %ecx\n"
    "  movl %edx, (%ecx)\n"
    "  leal -8(%ebp), %esp\n"
    "  popl %edi\n"
    "  popl %esi\n"
    "  popl %ebp\n"
    "  retl\n");
#elif defined(__x86_64__)
/* The first four arguments in registers (both calls have more), the rest
 * above the 32-byte home area. */
__asm__(
    ".text\n"
    ".globl HostCallCounted\n"
    "HostCallCounted:\n"
    "  pushq %rbp\n"
    "  movq %rsp, %rbp\n"
    "  pushq %rsi\n"
    "  pushq %rdi\n"
    "  pushq %rbx\n"
    "  pushq %r12\n"
    "  movq %rcx, %rbx\n"
    "  movq %rdx, %rsi\n"
    "  movslq %r8d, %rdi\n"
    "  movq %r9, %r12\n"
    "  leaq 15(,%rdi,8), %rax\n"
    "  andq $-16, %rax\n"
    "  subq %rax, %rsp\n"
    "  movq $4, %rcx\n"
    "1:\n"
    "  cmpq %rdi, %rcx\n"
    "  jae 2f\n"
    "  movq (%rsi,%rcx,8), %rax\n"
    "  movq %rax, (%rsp,%rcx,8)\n"
    "  incq %rcx\n"
    "  jmp 1b\n"
    "2:\n"
    "  movq (%rsi), %rcx\n"
    "  movq 8(%rsi), %rdx\n"
    "  movq 16(%rsi), %r8\n"
    "  movq 24(%rsi), %r9\n"
    "  movq %rsp, %rdi\n"
    "  callq *%rbx\n"
    "  movq %rsp, %rdx\n"
    "  subq %rdi, %rdx\n"
    "  movl %edx, (%r12)\n"
    "  leaq -32(%rbp), %rsp\n"
    "  popq %r12\n"
    "  popq %rbx\n"
    "  popq %rdi\n"
    "  popq %rsi\n"
    "  popq %rbp\n"
    "  retq\n");
#endif

int GlimfxCHeaderRoundTrip(void);

static uint32_t first_failure;

static void Check(int ok, uint32_t check) {
  if (!ok && first_failure == 0) first_failure = check;
}

static uintptr_t Arg(int32_t value) { return (uintptr_t)(intptr_t)value; }

static int32_t ProbedBlend(void* dest, const void* src, int32_t width, int32_t height,
                           int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  const uintptr_t args[7] = {(uintptr_t)dest, (uintptr_t)src,  Arg(width), Arg(height),
                             Arg(src_pitch),  Arg(dest_pitch), format};
  int32_t shift = 1;
  const int32_t result = HostCallCounted((const void*)&BltAlphaFast, args, 7, &shift);
  Check(shift == 0, 90);
  return result;
}

static int32_t ProbedNight(void* surface, int32_t width, int32_t height, int32_t pitch,
                           uint32_t format) {
  const uintptr_t args[5] = {(uintptr_t)surface, Arg(width), Arg(height), Arg(pitch), format};
  int32_t shift = 1;
  const int32_t result = HostCallCounted((const void*)&BltEfectoNoche, args, 5, &shift);
  Check(shift == 0, 91);
  return result;
}

/* Worked examples of tests/support/worked_examples.h through the probe, with
 * guard pixels that must stay as they were. */
static void ProbedChecks(void) {
  /* 5-6-5, two rows of two at different pitches: dest rows hold a third, guard pixel. */
  uint16_t dest16[6] = {0xFFFF, 0xFFFF, 0x1234, 0xFFFF, 0xFFFF, 0x1234};
  const uint16_t src16[4] = {0xFFFF, 0xFFFF, 0x0001, 0x0000};
  Check(ProbedBlend(dest16, src16, 2, 2, 4, 6, GLIMFX_FORMAT_565) == 0, 51);
  Check(dest16[0] == 0xF7DE && dest16[1] == 0xF7DE && dest16[2] == 0x1234, 52);
  Check(dest16[3] == 0x7BEF && dest16[4] == 0xF7DE && dest16[5] == 0x1234, 53);

  uint32_t dest32[2] = {0xFF336699u, 0x12345678u};
  const uint32_t src32[1] = {0x80FFFFFFu};
  Check(ProbedBlend(dest32, src32, 1, 1, 4, 4, GLIMFX_FORMAT_32) == 0, 54);
  Check(dest32[0] == 0x0098B2CBu && dest32[1] == 0x12345678u, 55);

  uint8_t pixel[4] = {0xFF, 0xFF, 0xFF, 0x55};
  Check(ProbedNight(pixel, 1, 1, 3, GLIMFX_FORMAT_24) == 0, 56);
  Check(pixel[0] == 0x7F && pixel[1] == 0x7F && pixel[2] == 0x9F && pixel[3] == 0x55, 57);

  /* An unknown format code touches nothing. */
  Check(ProbedNight(pixel, 1, 1, 3, 2u) == -1, 58);
  Check(ProbedBlend(dest32, src32, 1, 1, 4, 4, 5u) == -1, 59);
  Check(pixel[0] == 0x7F && dest32[0] == 0x0098B2CBu, 60);
}

static void Say(const char* text, uint32_t number, uint32_t base) {
  char line[96];
  uint32_t n = 0;
  while (*text && n < 64) line[n++] = *text++;
  if (base) {
    char digits[12];
    uint32_t count = 0;
    do {
      digits[count++] = "0123456789ABCDEF"[number % base];
      number /= base;
    } while (number && count < sizeof digits);
    while (count) line[n++] = digits[--count];
  }
  line[n++] = '\n';
  uint32_t written = 0;
  WriteFile(GetStdHandle((uint32_t)-11), line, n, &written, 0);
}

/* An import the loader could not bind faults when called; Wine would then
 * start its debugger and wait. End with a status instead. */
static int32_t __stdcall OnUnhandledException(void* pointers) {
  const uint32_t code = **(const uint32_t* const*)pointers;
  Say("msvc host: unhandled exception 0x", code, 16);
  ExitProcess(100);
  return 0;
}

void HostMain(void) {
  SetUnhandledExceptionFilter(OnUnhandledException);
  first_failure = (uint32_t)GlimfxCHeaderRoundTrip();
  ProbedChecks();
  if (first_failure)
    Say("msvc host: failed check ", first_failure, 10);
  else
    Say("msvc host: both exports ok through glimfx.lib", 0, 0);
  ExitProcess(first_failure);
}
