// The 4x4 double `matrix`.
//
// 16 doubles, row-major: element row * 4 + col. The rotation, the vector
// transform, the determinant and the inverse use only the upper-left 3x3
// block (elements 0-2, 4-6, 8-10).
#pragma once

#include "vec3.hpp"

#include <type_traits>

struct matrix {
  double m[16] = {};

  // All 16 elements of the identity.
  void set_identity();

  // The 16 elements in element order.
  void set(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
           double m7, double m8, double m9, double m10, double m11, double m12, double m13,
           double m14, double m15);

  // Writes R = Rx(ax) Ry(ay) Rz(az) (radians, column vectors) into elements
  // 0-2, 4-6, 8-10; the other seven elements keep their values.
  //   row 0: cos ay cos az, -cos ay sin az, sin ay
  //   row 1: cos ax sin az + sin ax sin ay cos az, cos ax cos az - sin ax sin ay sin az,
  //          -sin ax cos ay
  //   row 2: sin ax sin az - cos ax sin ay cos az, sin ax cos az + cos ax sin ay sin az,
  //          cos ax cos ay
  void set_rotation(const double* ax, const double* ay, const double* az);

  // By-value form of matrix_times_vec3 (state 1, whatever v's state).
  vec3 transform(const vec3& v) const;

  // Determinant of the 3x3 block, expanded along the first row:
  // m0*(m5*m10 - m9*m6) - m1*(m10*m4 - m6*m8) + m2*(m9*m4 - m5*m8).
  double determinant3() const;
};

static_assert(sizeof(matrix) == 16 * sizeof(double));
static_assert(std::is_standard_layout_v<matrix> && std::is_trivially_copyable_v<matrix>);

// Threshold below which matrix_inverse3 treats the 3x3 block as singular.
inline constexpr double matrix_singular_threshold = 1e-8;

// dst[i] = src[i] * s for all 16 elements (dst may be src). Returns dst.
matrix* matrix_times_scalar(const matrix* src, const double* s, matrix* dst);

// out = (m0*x + m1*y + m2*z, m4*x + m5*y + m6*z, m8*x + m9*y + m10*z), state 1.
// The input state is not looked at. out may be v. Returns out.
vec3* matrix_times_vec3(const matrix* m, const vec3* v, vec3* out);

// 3x3 inverse:
// 1. d = src.determinant3().
// 2. |d| < 1e-8: dst becomes the full 4x4 identity.
// 3. Otherwise dst's 3x3 block becomes the adjugate of src's block, and then
//    all 16 elements of dst are multiplied by 1 / d (the seven elements
//    outside the block keep dst's earlier values, scaled).
// dst may be src. Returns dst.
matrix* matrix_inverse3(const matrix* src, matrix* dst);
