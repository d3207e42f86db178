// A host program as the library's users write one: it loads glimfx.dll by
// name at run time, binds the exports by name and by ordinal, and calls them.
// It checks the export table of the loaded image, the calling
// convention, the x87 state after each call, and the routines' behaviour.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "behaviour.h"
#include "glimfx.h"
#include "x87_probe.h"

namespace glimfx_test {
namespace {

HMODULE Library() {
  static HMODULE module = LoadLibraryA("glimfx.dll");
  return module;
}

GlimfxBltAlphaFastFn AlphaExport() {
  return reinterpret_cast<GlimfxBltAlphaFastFn>(
      reinterpret_cast<void*>(GetProcAddress(Library(), "BltAlphaFast")));
}

GlimfxBltEfectoNocheFn NightExport() {
  return reinterpret_cast<GlimfxBltEfectoNocheFn>(
      reinterpret_cast<void*>(GetProcAddress(Library(), "BltEfectoNoche")));
}

AlphaFn AlphaThroughExport() {
  const GlimfxBltAlphaFastFn fn = AlphaExport();
  return [fn](uint8_t* dest, const uint8_t* src, int32_t width, int32_t height, int32_t src_pitch,
              int32_t dest_pitch, uint32_t format) {
    return fn(dest, src, width, height, src_pitch, dest_pitch, format);
  };
}

NightFn NightThroughExport() {
  const GlimfxBltEfectoNocheFn fn = NightExport();
  return [fn](uint8_t* surface, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
    return fn(surface, width, height, pitch, format);
  };
}

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, Library()) << "LoadLibrary(\"glimfx.dll\") failed, error " << GetLastError();
    ASSERT_NE(nullptr, AlphaExport());
    ASSERT_NE(nullptr, NightExport());
  }
};

TEST_F(LoadedLibrary, NameAndOrdinalGiveTheSameAddress) {
  const FARPROC alpha_by_ordinal = GetProcAddress(Library(), MAKEINTRESOURCEA(1));
  const FARPROC night_by_ordinal = GetProcAddress(Library(), MAKEINTRESOURCEA(2));
  EXPECT_EQ(reinterpret_cast<void*>(alpha_by_ordinal), reinterpret_cast<void*>(AlphaExport()));
  EXPECT_EQ(reinterpret_cast<void*>(night_by_ordinal), reinterpret_cast<void*>(NightExport()));
  EXPECT_NE(reinterpret_cast<void*>(AlphaExport()), reinterpret_cast<void*>(NightExport()));
  EXPECT_EQ(nullptr, GetProcAddress(Library(), MAKEINTRESOURCEA(3)));
  // Decorated names must not be exported besides the plain ones.
  EXPECT_EQ(nullptr, GetProcAddress(Library(), "BltAlphaFast@28"));
  EXPECT_EQ(nullptr, GetProcAddress(Library(), "_BltAlphaFast@28"));
  EXPECT_EQ(nullptr, GetProcAddress(Library(), "BltEfectoNoche@20"));
}

const uint8_t* ImageBase() { return reinterpret_cast<const uint8_t*>(Library()); }

const IMAGE_DATA_DIRECTORY& Directory(int which) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(ImageBase());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(ImageBase() + dos->e_lfanew);
  return nt->OptionalHeader.DataDirectory[which];
}

TEST_F(LoadedLibrary, ExportTableHoldsExactlyTheUndecoratedNamesAtOrdinalsOneAndTwo) {
  const IMAGE_DATA_DIRECTORY& dir = Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
  ASSERT_NE(0u, dir.VirtualAddress);
  const auto* exports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(ImageBase() + dir.VirtualAddress);
  EXPECT_STREQ("glimfx.dll", reinterpret_cast<const char*>(ImageBase() + exports->Name));
  EXPECT_EQ(1u, exports->Base);
  ASSERT_EQ(2u, exports->NumberOfFunctions);
  ASSERT_EQ(2u, exports->NumberOfNames);
  const auto* names = reinterpret_cast<const DWORD*>(ImageBase() + exports->AddressOfNames);
  const auto* ordinals =
      reinterpret_cast<const WORD*>(ImageBase() + exports->AddressOfNameOrdinals);
  const auto* functions = reinterpret_cast<const DWORD*>(ImageBase() + exports->AddressOfFunctions);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const std::string name = reinterpret_cast<const char*>(ImageBase() + names[i]);
    const DWORD ordinal = exports->Base + ordinals[i];
    const void* address = ImageBase() + functions[ordinals[i]];
    if (name == "BltAlphaFast") {
      EXPECT_EQ(1u, ordinal);
      EXPECT_EQ(reinterpret_cast<void*>(AlphaExport()), address);
    } else if (name == "BltEfectoNoche") {
      EXPECT_EQ(2u, ordinal);
      EXPECT_EQ(reinterpret_cast<void*>(NightExport()), address);
    } else {
      ADD_FAILURE() << "unexpected export \"" << name << "\" at ordinal " << ordinal;
    }
  }
}

TEST_F(LoadedLibrary, BehavesLikeTheModel) {
  const std::string path = sizeof(void*) == 4 ? "glimfx.dll (32-bit)" : "glimfx.dll (64-bit)";
  std::string failure = CheckAlphaExamples(AlphaThroughExport(), path);
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckNightExamples(NightThroughExport(), path);
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckNightRepeated(NightThroughExport(), path);
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckRejectsAndEmpty(AlphaThroughExport(), NightThroughExport(), path);
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckAlphaRandom(AlphaThroughExport(), path, 0x40570001, 2000);
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckNightRandom(NightThroughExport(), path, 0x40570002, 2000);
  EXPECT_TRUE(failure.empty()) << failure;
}

TEST(X87Probe, NoticesPackedIntegerStateLeftBehind) {
  double out;
  uint8_t env[28];
  asm volatile(
      "pxor %%mm0, %%mm0\n\t"
      "fnstenv %1\n\tfldenv %1\n\t"
      "fld1\n\tfstpl %0\n\t"
      "emms\n\tfnclex"
      : "=m"(out), "=m"(env));
  uint16_t tag;
  std::memcpy(&tag, env + 8, sizeof tag);
  EXPECT_NE(0xFFFF, tag);
  EXPECT_TRUE(std::isnan(out)) << out;
  EXPECT_EQ(0xFFFF, X87TagWord());
  EXPECT_EQ(7.0, X87MulAdd(1.5, 4.0, 1.0));
}

TEST_F(LoadedLibrary, X87StillComputesAfterEveryNightCall) {
  uint8_t surface[4 * 9 * 3 + 16];
  for (uint32_t format : {1u, 0u, 3u, 4u}) {
    for (int32_t width = 1; width <= 9; ++width) {
      for (size_t i = 0; i < sizeof surface; ++i) surface[i] = static_cast<uint8_t>(i * 37 + 1);
      ASSERT_EQ(0, NightExport()(surface + 1, width, 3, 4 * 9 + 1, format));
      const uint16_t tag = X87TagWord();
      const double product = X87MulAdd(1.25, 3.0, 0.5);
      EXPECT_EQ(0xFFFF, tag) << "format " << format << ", width " << width;
      EXPECT_EQ(4.25, product) << "format " << format << ", width " << width;

      ASSERT_EQ(0, AlphaExport()(surface + 1, surface + 40, width, 2, 4 * 9, 4 * 9 + 1, format));
      EXPECT_EQ(0xFFFF, X87TagWord()) << "BltAlphaFast, format " << format << ", width " << width;
      EXPECT_EQ(4.25, X87MulAdd(1.25, 3.0, 0.5));
    }
  }
}

#if defined(_M_IX86) || defined(__i386__)

// Pushes `count` 32-bit arguments last to first, calls `fn`, and reports how
// far the stack pointer ended from where it was before the pushes, without
// popping anything itself: 0 when the callee removed its arguments.
extern "C" int32_t GlimfxCallCounted(const void* fn, const uint32_t* args, int32_t count,
                                     int32_t* esp_shift);
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
  movl %esi, %esp
  movl 20(%ebp), %ecx
  movl %edx, (%ecx)
  popl %ebx
  popl %edi
  popl %esi
  popl %ebp
  ret
)");

uint32_t Arg(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
uint32_t Arg(int32_t v) { return static_cast<uint32_t>(v); }

// Seven arguments as the half-blend takes them; one removes them, the other
// leaves them to its caller.
int32_t __stdcall CalleeCleans(uint32_t a, uint32_t b, uint32_t, uint32_t, uint32_t, uint32_t,
                               uint32_t g) {
  return static_cast<int32_t>(a + 2 * b + 3 * g);
}
int32_t __cdecl CallerCleans(uint32_t a, uint32_t b, uint32_t, uint32_t, uint32_t, uint32_t,
                             uint32_t g) {
  return static_cast<int32_t>(a + 2 * b + 3 * g);
}

TEST(StackProbe, TellsCalleeCleanupFromCallerCleanup) {
  const uint32_t args[7] = {1, 10, 0, 0, 0, 0, 100};
  int32_t shift = 1;
  EXPECT_EQ(321, GlimfxCallCounted(reinterpret_cast<const void*>(&CalleeCleans), args, 7, &shift));
  EXPECT_EQ(0, shift);
  EXPECT_EQ(321, GlimfxCallCounted(reinterpret_cast<const void*>(&CallerCleans), args, 7, &shift));
  EXPECT_EQ(-28, shift);
}

struct ShiftLog {
  int calls = 0;
  std::vector<std::string> unbalanced;
};

TEST_F(LoadedLibrary, StdcallCalleeRemovesItsArgumentsOnEveryReturnPath) {
  ShiftLog log;
  const void* alpha = reinterpret_cast<const void*>(AlphaExport());
  const void* night = reinterpret_cast<const void*>(NightExport());
  const AlphaFn counted_alpha = [&](uint8_t* dest, const uint8_t* src, int32_t width,
                                    int32_t height, int32_t src_pitch, int32_t dest_pitch,
                                    uint32_t format) {
    const uint32_t args[7] = {Arg(dest),      Arg(src),        Arg(width), Arg(height),
                              Arg(src_pitch), Arg(dest_pitch), format};
    int32_t shift = 0;
    const int32_t rc = GlimfxCallCounted(alpha, args, 7, &shift);
    ++log.calls;
    if (shift != 0) {
      log.unbalanced.push_back("BltAlphaFast format " + std::to_string(format) + " width " +
                               std::to_string(width) + ": stack pointer off by " +
                               std::to_string(shift));
    }
    return rc;
  };
  const NightFn counted_night = [&](uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
                                    uint32_t format) {
    const uint32_t args[5] = {Arg(surface), Arg(width), Arg(height), Arg(pitch), format};
    int32_t shift = 0;
    const int32_t rc = GlimfxCallCounted(night, args, 5, &shift);
    ++log.calls;
    if (shift != 0) {
      log.unbalanced.push_back("BltEfectoNoche format " + std::to_string(format) + " width " +
                               std::to_string(width) + ": stack pointer off by " +
                               std::to_string(shift));
    }
    return rc;
  };
  // Results are checked too, so the probe is known to pass the arguments right.
  const std::string path = "glimfx.dll called by pushing arguments";
  std::string failure = CheckAlphaExamples(counted_alpha, path);
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckNightExamples(counted_night, path);
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckRejectsAndEmpty(counted_alpha, counted_night, path);  // the early returns
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckAlphaRandom(counted_alpha, path, 0x57DC, 300);
  EXPECT_TRUE(failure.empty()) << failure;
  failure = CheckNightRandom(counted_night, path, 0x57DD, 300);
  EXPECT_TRUE(failure.empty()) << failure;
  uint8_t pixel[4] = {};
  EXPECT_EQ(0, counted_alpha(pixel, pixel, -1, 1, 4, 4, 4));
  EXPECT_EQ(0, counted_night(pixel, 1, 0, 4, 4));

  EXPECT_GT(log.calls, 800);
  EXPECT_TRUE(log.unbalanced.empty())
      << log.unbalanced.size() << " unbalanced calls, first: " << log.unbalanced.front();
}

#endif

}  // namespace
}  // namespace glimfx_test
