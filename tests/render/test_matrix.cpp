// Matrix operations.
#include "render/matrix.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

matrix filled(double base) {
  matrix m;
  for (int i = 0; i < 16; ++i) m.m[i] = base + i;
  return m;
}

// Independent reference: product of the three elementary rotations
// Rx(ax) * Ry(ay) * Rz(az), 3x3, column vectors.
void reference_rotation(double ax, double ay, double az, double out[3][3]) {
  const double rx[3][3] = {{1, 0, 0}, {0, std::cos(ax), -std::sin(ax)}, {0, std::sin(ax), std::cos(ax)}};
  const double ry[3][3] = {{std::cos(ay), 0, std::sin(ay)}, {0, 1, 0}, {-std::sin(ay), 0, std::cos(ay)}};
  const double rz[3][3] = {{std::cos(az), -std::sin(az), 0}, {std::sin(az), std::cos(az), 0}, {0, 0, 1}};
  double t[3][3] = {};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) t[i][j] += rx[i][k] * ry[k][j];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      out[i][j] = 0;
      for (int k = 0; k < 3; ++k) out[i][j] += t[i][k] * rz[k][j];
    }
}

}  // namespace

TEST(Matrix, IdentityAndSet) {
  matrix m = filled(3.0);
  m.set_identity();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(m.m[r * 4 + c], r == c ? 1.0 : 0.0);
  m.set(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], i);
}

TEST(Matrix, ZeroRotationLeavesTheSevenOtherElementsAlone) {
  matrix m = filled(100.0);
  m.m[3] = 7.0;
  const double zero = 0.0;
  m.set_rotation(&zero, &zero, &zero);
  EXPECT_EQ(m.m[3], 7.0);
  for (int i : {7, 11, 12, 13, 14, 15}) EXPECT_EQ(m.m[i], 100.0 + i) << i;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(m.m[r * 4 + c], r == c ? 1.0 : 0.0);
}

TEST(Matrix, RotationMatchesProductOfElementaryRotations) {
  const double angles[][3] = {{0.3, -1.1, 2.5}, {1.0, 0.0, 0.0}, {0.0, 0.7, 0.0}, {-2.0, 0.4, -0.9}};
  for (const auto& a : angles) {
    matrix m = filled(-50.0);
    m.set_rotation(&a[0], &a[1], &a[2]);
    double ref[3][3];
    reference_rotation(a[0], a[1], a[2], ref);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(m.m[r * 4 + c], ref[r][c], 1e-12);
    for (int i : {3, 7, 11, 12, 13, 14, 15}) EXPECT_EQ(m.m[i], -50.0 + i);
  }
}

TEST(Matrix, TimesScalarScalesAllSixteen) {
  const matrix a = filled(1.0);
  matrix b;
  const double s = -0.5;
  EXPECT_EQ(matrix_times_scalar(&a, &s, &b), &b);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(b.m[i], (1.0 + i) * -0.5);
}

TEST(Matrix, TimesVec3UsesTheBlockAndYieldsStateOne) {
  matrix m = filled(0.0);  // rows (0 1 2 3) (4 5 6 7) (8 9 10 11) ...
  const vec3 in{0, 1.0f, 2.0f, 3.0f};  // state ignored
  vec3 out{2, 9, 9, 9};
  matrix_times_vec3(&m, &in, &out);
  EXPECT_EQ(out.state, 1);
  EXPECT_EQ(out.x, 0 + 2 + 6);    // translation column 3 is not used
  EXPECT_EQ(out.y, 4 + 10 + 18);
  EXPECT_EQ(out.z, 8 + 18 + 30);
  const vec3 by_value = m.transform(in);
  EXPECT_EQ(by_value.state, 1);
  EXPECT_EQ(by_value.z, out.z);
}

TEST(Matrix, Determinant3) {
  matrix m;
  m.set(2, 0, 0, 99, 0, 3, 0, 99, 0, 0, 4, 99, 99, 99, 99, 99);
  EXPECT_EQ(m.determinant3(), 24.0);
  m.set(1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 10, 0, 0, 0, 0, 1);
  EXPECT_DOUBLE_EQ(m.determinant3(), -3.0);  // 1(50-48) - 2(40-42) + 3(32-35)
}

TEST(Matrix, InverseOfRegularBlock) {
  matrix a;
  a.set(1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 10, 0, 0, 0, 0, 1);
  matrix inv;
  inv.set_identity();
  EXPECT_EQ(matrix_inverse3(&a, &inv), &inv);
  // a * inv = I on the 3x3 block
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      double s = 0;
      for (int k = 0; k < 3; ++k) s += a.m[r * 4 + k] * inv.m[k * 4 + c];
      EXPECT_NEAR(s, r == c ? 1.0 : 0.0, 1e-12);
    }
}

TEST(Matrix, InverseScalesDstElementsOutsideTheBlock) {
  matrix a;
  a.set(2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);  // det 2
  matrix dst = filled(10.0);
  matrix_inverse3(&a, &dst);
  EXPECT_EQ(dst.m[0], 0.5);
  EXPECT_EQ(dst.m[5], 1.0);
  EXPECT_EQ(dst.m[10], 1.0);
  for (int i : {3, 7, 11, 12, 13, 14, 15}) EXPECT_EQ(dst.m[i], (10.0 + i) * 0.5) << i;
}

TEST(Matrix, InverseJustAboveThresholdIsComputed) {
  matrix a;
  a.set(1e-4, 0, 0, 0, 0, 1e-4, 0, 0, 0, 0, 1.01, 0, 0, 0, 0, 1);  // det 1.01e-8
  ASSERT_GT(std::fabs(a.determinant3()), 1e-8);
  matrix dst;
  matrix_inverse3(&a, &dst);
  EXPECT_NEAR(dst.m[0], 1e4, 1e-6);
  EXPECT_NEAR(dst.m[5], 1e4, 1e-6);
  EXPECT_NEAR(dst.m[10], 1.0 / 1.01, 1e-12);
  // negative determinant just beyond -1e-8: the absolute value counts
  a.m[10] = -1.01;
  matrix_inverse3(&a, &dst);
  EXPECT_NEAR(dst.m[10], -1.0 / 1.01, 1e-12);
}

TEST(Matrix, InverseJustBelowThresholdIsIdentity) {
  for (double k : {0.99, -0.99, 0.1}) {  // determinants 9.9e-9, -9.9e-9, 1e-9
    matrix a;
    a.set(1e-4, 0, 0, 0, 0, 1e-4, 0, 0, 0, 0, k, 0, 0, 0, 0, 1);
    ASSERT_LT(std::fabs(a.determinant3()), 1e-8);
    matrix dst = filled(5.0);
    matrix_inverse3(&a, &dst);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(dst.m[i], i % 5 == 0 ? 1.0 : 0.0) << k << " " << i;
  }
}

TEST(Matrix, InverseInPlace) {
  matrix a;
  a.set(0, 2, 0, 0, -1, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1);  // det 8
  matrix_inverse3(&a, &a);
  EXPECT_EQ(a.m[1], -1.0);  // inverse of [[0 2][-1 0]] is [[0 -1][0.5 0]]
  EXPECT_EQ(a.m[4], 0.5);
  EXPECT_EQ(a.m[10], 0.25);
  EXPECT_EQ(a.m[15], 0.125);  // outside the block: scaled by 1/d
}
