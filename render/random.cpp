// The shared linear congruential generator.
#include "random.hpp"

namespace {
std::uint32_t g_random_state = 1;
}  // namespace

void qm_srand(std::uint32_t seed) { g_random_state = seed; }

int qm_rand() {
  g_random_state = g_random_state * 214013u + 2531011u;  // unsigned: wraps mod 2^32
  return static_cast<int>((g_random_state >> 16) & 0x7FFFu);
}

double random_unit() { return qm_rand() / 32767.0; }

std::uint32_t qm_random_state() { return g_random_state; }
