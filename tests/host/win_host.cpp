// A host program as the library's users write one: it loads glimfx.dll by
// name at run time, binds the exports by name and by ordinal, and calls them.
// It checks the export table of the loaded image, the calling
// convention, the x87 state after each call, and the routines' behaviour.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>

#include "behaviour.h"
#include "glimfx.h"
#include "stack_probe.h"
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

#ifdef GLIMFX_HAVE_STACK_PROBE

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
  EXPECT_EQ(321,
            GlimfxCallCounted(reinterpret_cast<const void*>(&CalleeCleans), args, 7, 0, &shift));
  EXPECT_EQ(0, shift);
  EXPECT_EQ(321,
            GlimfxCallCounted(reinterpret_cast<const void*>(&CallerCleans), args, 7, 0, &shift));
  EXPECT_EQ(-28, shift);
}

TEST(StackProbe, EntersAtEveryResidueModulo16) {
  const uint32_t args[7] = {};
  for (const int32_t residue : kEntryResidues) {
    int32_t shift = 1;
    EXPECT_EQ(residue, GlimfxCallCounted(reinterpret_cast<const void*>(&GlimfxEntryResidue), args,
                                         7, residue, &shift));
    EXPECT_EQ(0, shift) << "residue " << residue;
  }
}

// Each export, entered at every stack residue modulo 16, gives the model's
// results and removes exactly its arguments on every return path.
TEST_F(LoadedLibrary, ExportsWorkAndRemoveTheirArgumentsAtEveryStackResidue) {
  for (const int32_t residue : kEntryResidues) {
    StackLog log;
    const AlphaFn alpha =
        ProbedAlpha(reinterpret_cast<const void*>(AlphaExport()), {}, residue, 0, &log);
    const NightFn night =
        ProbedNight(reinterpret_cast<const void*>(NightExport()), {}, residue, 0, &log);
    const std::string failure = CheckThroughProbe(
        alpha, night, log, "glimfx.dll entered at stack residue " + std::to_string(residue),
        0x57DC + residue);
    EXPECT_TRUE(failure.empty()) << failure;
  }
}

#endif

}  // namespace
}  // namespace glimfx_test
