/* glimfx: half-blend and night-effect blits over raw pixel memory.
 *
 * The one public header of the library. Both routines return 0 when done and
 * -1 for an unsupported pixel format code; nothing else is validated.
 * Pixel format codes: 0 = 5-5-5, 1 = 5-6-5, 3 = 24-bit, 4 = 32-bit. */
#ifndef GLIMFX_H_
#define GLIMFX_H_

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define GLIMFX_CALL __stdcall
#else
#define GLIMFX_CALL
#endif

#if defined(GLIMFX_STATIC)
#define GLIMFX_API
#elif defined(_WIN32)
#if defined(GLIMFX_BUILDING)
#define GLIMFX_API /* the .def file names the exports and pins their ordinals */
#else
#define GLIMFX_API __declspec(dllimport)
#endif
#elif defined(GLIMFX_BUILDING)
#define GLIMFX_API __attribute__((visibility("default")))
#else
#define GLIMFX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define GLIMFX_FORMAT_555 0u
#define GLIMFX_FORMAT_565 1u
#define GLIMFX_FORMAT_24 3u
#define GLIMFX_FORMAT_32 4u

/* Lays src over dest at half opacity; source pixels whose colour bits are all
 * zero are not drawn (in the 16-bit layouts a key pixel paired with a drawn
 * one halves its own destination pixel). Row r of each surface starts r
 * pitches after its first row; pitches may be negative. Source and
 * destination may overlap in any way: the result is always that of doing the
 * rows first to last, each pixel (16-bit: pair) first to last, every value
 * read from memory as it stands at its turn. */
GLIMFX_API int32_t GLIMFX_CALL BltAlphaFast(void* dest, const void* src, int32_t width,
                                            int32_t height, int32_t srcPitch, int32_t destPitch,
                                            uint32_t pixelFormat);

/* Darkens a rectangle in place: every channel halved, plus the layout's tint. */
GLIMFX_API int32_t GLIMFX_CALL BltEfectoNoche(void* surface, int32_t width, int32_t height,
                                              int32_t pitch, uint32_t pixelFormat);

/* Function pointer types for hosts that bind the exports by name. */
typedef int32_t(GLIMFX_CALL* GlimfxBltAlphaFastFn)(void*, const void*, int32_t, int32_t, int32_t,
                                                   int32_t, uint32_t);
typedef int32_t(GLIMFX_CALL* GlimfxBltEfectoNocheFn)(void*, int32_t, int32_t, int32_t, uint32_t);

#ifdef __cplusplus
}
#endif

#endif /* GLIMFX_H_ */
