// Vec3 state rules and single-precision rounding.
#include "render/vec3.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

vec3 v(int state, float x, float y, float z) { return vec3{state, x, y, z}; }

void expect_vec(const vec3& got, int state, float x, float y, float z) {
  EXPECT_EQ(got.state, state);
  EXPECT_EQ(got.x, x);
  EXPECT_EQ(got.y, y);
  EXPECT_EQ(got.z, z);
}

}  // namespace

TEST(Vec3, LayoutIsSixteenBytesStateFirst) {
  vec3 a = v(2, 1.0f, 2.0f, 3.0f);
  int state = 0;
  std::memcpy(&state, &a, sizeof state);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(sizeof(vec3), 16u);
  vec3 d;  // default member initialisers: invalid zero vector
  expect_vec(d, 0, 0, 0, 0);
}

TEST(Vec3, AddSubtractCrossOfValidVectors) {
  const vec3 a = v(1, 1.0f, 2.0f, 3.0f);
  const vec3 b = v(2, -4.0f, 0.5f, 8.0f);
  vec3 r;
  expect_vec(*vec3_add(&a, &b, &r), 1, -3.0f, 2.5f, 11.0f);
  expect_vec(*vec3_sub(&a, &b, &r), 1, 5.0f, 1.5f, -5.0f);
  // (2*8 - 3*0.5, 3*-4 - 1*8, 1*0.5 - 2*-4)
  expect_vec(*vec3_cross(&a, &b, &r), 1, 14.5f, -20.0f, 8.5f);
  EXPECT_EQ(vec3_add(&a, &b, &r), &r);
}

TEST(Vec3, TwoOperandOperationsWithAnInvalidOperandGiveValidZero) {
  const vec3 good = v(1, 1.0f, 2.0f, 3.0f);
  const vec3 bad = v(0, 5.0f, 6.0f, 7.0f);
  vec3 r;
  expect_vec(*vec3_add(&good, &bad, &r), 1, 0, 0, 0);  // state 1, not 0
  expect_vec(*vec3_add(&bad, &good, &r), 1, 0, 0, 0);
  expect_vec(*vec3_sub(&good, &bad, &r), 1, 0, 0, 0);
  expect_vec(*vec3_sub(&bad, &good, &r), 1, 0, 0, 0);
  expect_vec(*vec3_cross(&good, &bad, &r), 1, 0, 0, 0);
  expect_vec(*vec3_cross(&bad, &good, &r), 1, 0, 0, 0);
  expect_vec(good + bad, 1, 0, 0, 0);
  expect_vec(bad - good, 1, 0, 0, 0);
  expect_vec(good.cross(bad), 1, 0, 0, 0);
}

TEST(Vec3, TwoOperandResultsNeverKeepStateTwo) {
  const vec3 a = v(2, 1.0f, 0.0f, 0.0f);
  const vec3 b = v(2, 0.0f, 1.0f, 0.0f);
  EXPECT_EQ((a + b).state, 1);
  EXPECT_EQ((a - b).state, 1);
  expect_vec(a.cross(b), 1, 0, 0, 1);
}

TEST(Vec3, ScaleKeepsStateAndInvalidGivesValidZero) {
  const float three = 3.0f;
  const vec3 n = v(2, 0.0f, 1.0f, 0.0f);
  vec3 r;
  expect_vec(*vec3_scale(&n, &three, &r), 2, 0.0f, 3.0f, 0.0f);  // normalised scaled by 3 stays 2
  const vec3 plain = v(1, 1.0f, -2.0f, 0.5f);
  expect_vec(plain * 3.0f, 1, 3.0f, -6.0f, 1.5f);
  const vec3 bad = v(0, 1.0f, 1.0f, 1.0f);
  expect_vec(*vec3_scale(&bad, &three, &r), 1, 0, 0, 0);
  expect_vec(bad * 2.0f, 1, 0, 0, 0);
}

TEST(Vec3, OutParameterMayAliasAnOperand) {
  vec3 a = v(1, 1.0f, 2.0f, 3.0f);
  const vec3 b = v(1, 0.0f, 0.0f, 1.0f);
  vec3_cross(&a, &b, &a);  // (2*1 - 3*0, 3*0 - 1*1, 0)
  expect_vec(a, 1, 2.0f, -1.0f, 0.0f);
  vec3_add(&a, &a, &a);
  expect_vec(a, 1, 4.0f, -2.0f, 0.0f);
}

TEST(Vec3, ComponentsAreRoundedToSinglePrecision) {
  const vec3 a = v(1, 1.0f, 16777216.0f, 0.0f);
  const vec3 b = v(1, 1e-8f, 1.0f, 0.0f);
  const vec3 r = a + b;
  EXPECT_EQ(r.x, 1.0f);          // 1 + 1e-8 is 1 in single precision
  EXPECT_EQ(r.y, 16777216.0f);   // 2^24 + 1 rounds back to 2^24
}

TEST(Vec3, CrossIsComputedInDoubleAndRoundedOnce) {
  // a.y*b.z - a.z*b.y with a.y = b.z = 1 + 2^-12 and a.z = b.y = 1 is
  // 2^-11 + 2^-24 exactly. Rounding the product to float first (ties to
  // even) would lose the 2^-24 and give 2^-11.
  const float g = 1.0f + std::ldexp(1.0f, -12);
  const vec3 a = v(1, 0.0f, g, 1.0f);
  const vec3 b = v(1, 0.0f, 1.0f, g);
  const vec3 r = a.cross(b);
  EXPECT_EQ(r.x, std::ldexp(1.0f, -11) + std::ldexp(1.0f, -24));
}

TEST(Vec3, Length) {
  EXPECT_EQ(v(1, 3.0f, 4.0f, 0.0f).length(), 5.0f);
  EXPECT_EQ(v(0, 2.0f, 3.0f, 6.0f).length(), 7.0f);  // the state is not looked at
  EXPECT_EQ(v(1, 0, 0, 0).length(), 0.0f);
}

TEST(Vec3, NormalizeValidVector) {
  vec3 a = v(1, 3.0f, 0.0f, 4.0f);
  vec3& ret = a.normalize();
  EXPECT_EQ(&ret, &a);
  EXPECT_EQ(a.state, 2);
  EXPECT_NEAR(a.x, 0.6f, 1e-7);
  EXPECT_EQ(a.y, 0.0f);
  EXPECT_NEAR(a.z, 0.8f, 1e-7);
  EXPECT_NEAR(a.length(), 1.0f, 1e-6);
}

TEST(Vec3, NormalizeMultipliesBySinglePrecisionReciprocal) {
  // length 3: 1/3 rounded to float, times 3, rounds to exactly 1.0f.
  vec3 a = v(1, 3.0f, 0.0f, 0.0f);
  a.normalize();
  EXPECT_EQ(a.x, static_cast<float>(3.0 * static_cast<double>(static_cast<float>(1.0 / 3.0))));
}

TEST(Vec3, NormalizeReciprocalIsRoundedBeforeTheProduct) {
  // 1.85f * float(1 / 1.85f) rounds to the float just below 1; the product
  // with the unrounded reciprocal would be exactly 1.
  vec3 a = v(1, 1.85f, 0.0f, 0.0f);
  a.normalize();
  EXPECT_EQ(a.x, std::nextafter(1.0f, 0.0f));
}

TEST(Vec3, NormalizeZeroVectorGivesZeroWithStateTwoAndIsStable) {
  vec3 z = v(1, 0, 0, 0);
  z.normalize();
  expect_vec(z, 2, 0, 0, 0);
  z.normalize();
  expect_vec(z, 2, 0, 0, 0);
}

TEST(Vec3, NormalizeOfTinyVectorGivesZero) {
  vec3 t = v(1, 1e-9f, 0.0f, 0.0f);  // length below 1e-8
  t.normalize();
  expect_vec(t, 2, 0, 0, 0);
}

TEST(Vec3, NormalizeLeavesStateTwoAndStateZeroAlone) {
  vec3 five = v(2, 3.0f, 4.0f, 0.0f);
  five.normalize();
  expect_vec(five, 2, 3.0f, 4.0f, 0.0f);
  EXPECT_EQ(five.length(), 5.0f);
  vec3 bad = v(0, 3.0f, 4.0f, 0.0f);
  bad.normalize();
  expect_vec(bad, 0, 3.0f, 4.0f, 0.0f);
}

TEST(Vec3, StatePropagatesThroughAChain) {
  // normalise (state 2) -> scale (keeps 2) -> add (1) -> normalise (2)
  vec3 d = v(1, 0.0f, 2.0f, 0.0f);
  d.normalize();
  const vec3 s = d * 4.0f;
  EXPECT_EQ(s.state, 2);
  const vec3 p = s + v(1, 1.0f, 0.0f, 0.0f);
  EXPECT_EQ(p.state, 1);
  vec3 q = p;
  q.normalize();
  EXPECT_EQ(q.state, 2);
  // An invalid vector anywhere collapses the chain to valid zero.
  const vec3 broken = (v(0, 9, 9, 9) * 2.0f) + p;
  expect_vec(broken, 1, p.x, p.y, p.z);  // 2 * invalid = valid zero, + p = p
}

TEST(Vec3, RotateEulerAboutZ) {
  vec3 a = v(2, 1.0f, 0.0f, 0.0f);
  const double zero = 0.0, quarter = std::acos(0.0);
  rotate_vec3_euler(&a, &zero, &zero, &quarter);
  EXPECT_EQ(a.state, 1);  // whatever the input state
  EXPECT_NEAR(a.x, 0.0f, 1e-7);
  EXPECT_NEAR(a.y, 1.0f, 1e-7);
  EXPECT_EQ(a.z, 0.0f);
}

TEST(Vec3, RotateEulerIgnoresInputStateZero) {
  vec3 a = v(0, 0.0f, 0.0f, 2.0f);
  const double zero = 0.0, quarter = std::acos(0.0);
  rotate_vec3_euler(&a, &quarter, &zero, &zero);  // about x: z axis goes to -y
  EXPECT_EQ(a.state, 1);
  EXPECT_NEAR(a.y, -2.0f, 1e-6);
  EXPECT_NEAR(a.z, 0.0f, 1e-6);
}
