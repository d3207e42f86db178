// The floors: the least memory traffic each routine could cost, with the
// widest vectors this machine has.
#ifndef GLIMFX_BENCH_FLOORS_H_
#define GLIMFX_BENCH_FLOORS_H_

#include <cstddef>
#include <cstdint>

namespace glimfx_bench {

// Reads source and destination, writes the destination: the blend's floor.
void Triad(uint8_t* dst, const uint8_t* src, size_t bytes);
// Reads and writes one buffer: the night effect's floor.
void InPlace(uint8_t* p, size_t bytes);

}  // namespace glimfx_bench

#endif  // GLIMFX_BENCH_FLOORS_H_
