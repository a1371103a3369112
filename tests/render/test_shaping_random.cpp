// Shaping curves and the shared random generator.
#include "render/random.hpp"
#include "render/shaping.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// Captured during static initialisation, before any test draws.
const std::uint32_t k_state_at_start = qm_random_state();

const double k_pi = 3.14159265358979323846;

double ramp(double x) { return shape_gamma_ramp(&x); }
double pulse(double p, double q) { return shape_cosine_pulse(&p, &q); }

// Independent model of the generator, in 64-bit arithmetic reduced mod 2^32.
struct reference_lcg {
  std::uint64_t s;
  int next() {
    s = (s * 214013ull + 2531011ull) % 4294967296ull;
    return static_cast<int>((s >> 16) & 0x7FFF);
  }
};

// Multiplicative inverse of an odd number mod 2^32 (Newton iteration).
std::uint32_t inverse_mod_2_32(std::uint32_t a) {
  std::uint32_t x = a;  // correct to 3 bits for odd a
  for (int i = 0; i < 5; ++i) x *= 2u - a * x;
  return x;
}

// The seed whose next state is `target`.
std::uint32_t seed_for_next_state(std::uint32_t target) {
  return (target - 2531011u) * inverse_mod_2_32(214013u);
}

}  // namespace

TEST(Shaping, GammaRampEdgeCases) {
  EXPECT_DOUBLE_EQ(ramp(4.0), 4.0);
  EXPECT_EQ(ramp(0.0), 0.0);
  // From 10/3 on it is x unchanged.
  EXPECT_DOUBLE_EQ(ramp(10.0 / 3.0), 10.0 / 3.0);
  EXPECT_DOUBLE_EQ(ramp(7.5), 7.5);
  // Between: blend of pow(x/2, 2.2) and x with weight 1 - 0.3x.
  EXPECT_NEAR(ramp(1.0), 1.0 + (std::pow(0.5, 2.2) - 1.0) * 0.7, 1e-15);
  EXPECT_NEAR(ramp(2.0), 2.0 + (1.0 - 2.0) * 0.4, 1e-15);
  // Negative input gives NaN (kept: no caller passes one).
  EXPECT_TRUE(std::isnan(ramp(-1.0)));
}

TEST(Shaping, CosinePulse) {
  for (double q : {1.0, 2.0, 3.5}) {
    EXPECT_NEAR(pulse(0.0, q), 0.0, 1e-15) << q;
    EXPECT_NEAR(pulse(1.0, q), 1.0, 1e-15) << q;
  }
  // With q = 1 it is (1 - cos(pi p)) / 2.
  for (double p : {0.1, 0.25, 0.5, 0.8}) EXPECT_NEAR(pulse(p, 1.0), (1.0 - std::cos(k_pi * p)) / 2.0, 1e-15);
  // q = 2: (1 - c^1.5)^2 with c = (cos(pi p) + 1) / 2
  const double c = (std::cos(k_pi * 0.3) + 1.0) / 2.0;
  EXPECT_NEAR(pulse(0.3, 2.0), std::pow(1.0 - std::pow(c, 1.5), 2.0), 1e-15);
}

TEST(Shaping, DampedSine) {
  EXPECT_EQ(shape_damped_sine(0.00009, 5.0, 20.0), 0.0);
  EXPECT_EQ(shape_damped_sine(-3.0, 5.0, 20.0), 0.0);
  EXPECT_NEAR(shape_damped_sine(1.01, 2.0, 20.0), 0.0, 1e-15);
  // Past 1/28 the phase gain is 1: sin(pi f x + 1.5) (1.01 - x).
  EXPECT_NEAR(shape_damped_sine(0.5, 123.0, 2.0), std::sin(k_pi + 1.5) * 0.51, 1e-15);
  // Before 1/28 the gain is 28x: at x = 0.01, gain 0.28.
  EXPECT_NEAR(shape_damped_sine(0.01, 0.0, 3.0), std::sin(k_pi * 0.03 + 0.28 + 0.5) * 1.0, 1e-15);
  // The second argument is ignored.
  EXPECT_EQ(shape_damped_sine(0.3, 1.0, 7.0), shape_damped_sine(0.3, -99.0, 7.0));
}

TEST(Random, StateIsOneAtProcessStart) { EXPECT_EQ(k_state_at_start, 1u); }

TEST(Random, SequenceFromSeedOne) {
  qm_srand(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int e : expected) EXPECT_EQ(qm_rand(), e);
}

TEST(Random, SequenceFromSeedZero) {
  qm_srand(0);
  EXPECT_EQ(qm_rand(), 38);  // (2531011 >> 16) & 0x7FFF
}

TEST(Random, LongSequencesMatchTheReferenceRule) {
  // Includes seeds above INT32_MAX (4242424242 is a seed of the show).
  for (std::uint32_t seed : {1u, 42342342u, 4242424242u, 4294967295u, 2147483648u}) {
    qm_srand(seed);
    reference_lcg ref{seed};
    for (int i = 0; i < 10000; ++i) ASSERT_EQ(qm_rand(), ref.next()) << seed << " draw " << i;
    EXPECT_EQ(qm_random_state(), ref.s);
  }
}

TEST(Random, ResultsSpanZeroTo32767) {
  qm_srand(seed_for_next_state(0u));
  EXPECT_EQ(qm_rand(), 0);
  qm_srand(seed_for_next_state(0x7FFF0000u));
  EXPECT_EQ(qm_rand(), 32767);
  qm_srand(seed_for_next_state(0xFFFFFFFFu));  // bit 31 is masked off
  EXPECT_EQ(qm_rand(), 32767);
}

TEST(Random, RandomUnitIsDrawOver32767) {
  qm_srand(seed_for_next_state(0u));
  EXPECT_EQ(random_unit(), 0.0);
  qm_srand(seed_for_next_state(0x7FFF0000u));
  EXPECT_EQ(random_unit(), 1.0);
  qm_srand(1);
  EXPECT_EQ(random_unit(), 41.0 / 32767.0);
  EXPECT_EQ(random_unit(), 18467.0 / 32767.0);
}

TEST(Random, ReseedingRepeatsTheSequence) {
  qm_srand(600011);
  double first[20];
  for (double& d : first) d = random_unit();
  qm_srand(600011);
  for (double d : first) EXPECT_EQ(random_unit(), d);
}

TEST(Random, IndependentOfTheCLibraryGenerator) {
  qm_srand(1);
  std::srand(12345);
  (void)std::rand();
  EXPECT_EQ(qm_rand(), 41);
}
