// The 4x4 double matrix.
#include "matrix.hpp"

#include <cmath>

void matrix::set_identity() {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void matrix::set(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
                 double m7, double m8, double m9, double m10, double m11, double m12, double m13,
                 double m14, double m15) {
  const double v[16] = {m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15};
  for (int i = 0; i < 16; ++i) m[i] = v[i];
}

void matrix::set_rotation(const double* ax, const double* ay, const double* az) {
  const double cx = std::cos(*ax), sx = std::sin(*ax);
  const double cy = std::cos(*ay), sy = std::sin(*ay);
  const double cz = std::cos(*az), sz = std::sin(*az);
  m[0] = cy * cz;
  m[1] = -cy * sz;
  m[2] = sy;
  m[4] = cx * sz + sx * sy * cz;
  m[5] = cx * cz - sx * sy * sz;
  m[6] = -sx * cy;
  m[8] = sx * sz - cx * sy * cz;
  m[9] = sx * cz + cx * sy * sz;
  m[10] = cx * cy;
}

vec3 matrix::transform(const vec3& v) const {
  vec3 r;
  matrix_times_vec3(this, &v, &r);
  return r;
}

double matrix::determinant3() const {
  return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[1] * (m[10] * m[4] - m[6] * m[8]) +
         m[2] * (m[9] * m[4] - m[5] * m[8]);
}

matrix* matrix_times_scalar(const matrix* src, const double* s, matrix* dst) {
  const double k = *s;
  for (int i = 0; i < 16; ++i) dst->m[i] = src->m[i] * k;
  return dst;
}

vec3* matrix_times_vec3(const matrix* mat, const vec3* v, vec3* out) {
  const double* m = mat->m;
  const double x = v->x, y = v->y, z = v->z;
  const vec3 r{1, static_cast<float>(m[0] * x + m[1] * y + m[2] * z),
               static_cast<float>(m[4] * x + m[5] * y + m[6] * z),
               static_cast<float>(m[8] * x + m[9] * y + m[10] * z)};
  *out = r;
  return out;
}

matrix* matrix_inverse3(const matrix* src_in, matrix* dst) {
  const matrix src = *src_in;  // dst may alias src
  const double d = src.determinant3();
  if (std::fabs(d) < matrix_singular_threshold) {
    dst->set_identity();
    return dst;
  }
  const double* m = src.m;
  dst->m[0] = m[5] * m[10] - m[9] * m[6];
  dst->m[1] = m[9] * m[2] - m[10] * m[1];
  dst->m[2] = m[6] * m[1] - m[5] * m[2];
  dst->m[4] = m[8] * m[6] - m[10] * m[4];
  dst->m[5] = m[0] * m[10] - m[8] * m[2];
  dst->m[6] = m[4] * m[2] - m[0] * m[6];
  dst->m[8] = m[9] * m[4] - m[5] * m[8];
  dst->m[9] = m[8] * m[1] - m[9] * m[0];
  dst->m[10] = m[5] * m[0] - m[4] * m[1];
  const double inv = 1.0 / d;
  return matrix_times_scalar(dst, &inv, dst);
}
