// XP has no GetTickCount64, yet the static thread library that the C++
// runtime brings in (libwinpthread, misc.o) imports it to time its waits.
// Defining its import slot here keeps the import out of the demo, so it still
// loads on XP. The stand-in widens GetTickCount, whose 32-bit count wraps
// every 49.7 days, by adding each call's advance to the last value given.
#define WIN32_LEAN_AND_MEAN
#include <stdint.h>
#include <windows.h>

#if defined(__i386__)
#define GLIMFX_IMPORT_SLOT "__imp__GetTickCount64@0"
#else
#define GLIMFX_IMPORT_SLOT "__imp_GetTickCount64"
#endif

static uint64_t last_tick __attribute__((aligned(8)));

static ULONGLONG WINAPI TickCount64(void) {
  uint64_t seen = __atomic_load_n(&last_tick, __ATOMIC_ACQUIRE);
  for (;;) {
    const DWORD now = GetTickCount();
    const uint64_t next = seen + (DWORD)(now - (DWORD)seen);
    if (__atomic_compare_exchange_n(&last_tick, &seen, next, 0, __ATOMIC_ACQ_REL,
                                    __ATOMIC_ACQUIRE)) {
      return next;
    }
  }
}

extern ULONGLONG(WINAPI* const glimfx_tick_count64_slot)(void) __asm__(GLIMFX_IMPORT_SLOT);
__attribute__((used)) ULONGLONG(WINAPI* const glimfx_tick_count64_slot)(void) = TickCount64;
