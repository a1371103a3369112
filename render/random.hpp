// The one process-wide random generator.
//
// Every random draw of the system goes through these functions, never through
// the C library's rand/srand (whose generator differs between platforms and
// would change every layout). The rule is the C runtime's linear congruential
// generator: a 32-bit unsigned state, 1 at process start;
//   qm_rand():    state = state * 214013 + 2531011 (mod 2^32);
//                 returns (state >> 16) & 0x7FFF, in 0 .. 32767
//   qm_srand(s):  state = s (seeds are unsigned 32-bit; some exceed INT32_MAX)
// From seed 1 the first results are 41, 18467, 6334, 26500, 19169.
//
// Never put two draws in one expression: the evaluation order of operands and
// arguments is unspecified in C++. Draw into named locals, one per statement.
#pragma once

#include <cstdint>

inline constexpr int qm_rand_max = 32767;

// Reseeds the shared generator (the C runtime's `srand` rule).
void qm_srand(std::uint32_t seed);

// One draw, 0 .. 32767 (the C runtime's `rand` rule).
int qm_rand();

// qm_rand() / 32767.0, in [0, 1].
double random_unit();

// The generator state, for tests and instruments that save and restore it.
std::uint32_t qm_random_state();
