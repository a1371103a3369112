// Vec3 operations. Arithmetic in double, rounded to float on store.
#include "vec3.hpp"

#include "matrix.hpp"

#include <cmath>

namespace {

inline vec3 zero_valid() { return vec3{1, 0.0f, 0.0f, 0.0f}; }

}  // namespace

vec3* vec3_add(const vec3* a, const vec3* b, vec3* out) {
  if (a->state == 0 || b->state == 0) {
    *out = zero_valid();
    return out;
  }
  const vec3 r{1, static_cast<float>(static_cast<double>(a->x) + b->x),
               static_cast<float>(static_cast<double>(a->y) + b->y),
               static_cast<float>(static_cast<double>(a->z) + b->z)};
  *out = r;
  return out;
}

vec3* vec3_sub(const vec3* a, const vec3* b, vec3* out) {
  if (a->state == 0 || b->state == 0) {
    *out = zero_valid();
    return out;
  }
  const vec3 r{1, static_cast<float>(static_cast<double>(a->x) - b->x),
               static_cast<float>(static_cast<double>(a->y) - b->y),
               static_cast<float>(static_cast<double>(a->z) - b->z)};
  *out = r;
  return out;
}

vec3* vec3_cross(const vec3* a, const vec3* b, vec3* out) {
  if (a->state == 0 || b->state == 0) {
    *out = zero_valid();
    return out;
  }
  const double ax = a->x, ay = a->y, az = a->z;
  const double bx = b->x, by = b->y, bz = b->z;
  const vec3 r{1, static_cast<float>(ay * bz - az * by), static_cast<float>(az * bx - ax * bz),
               static_cast<float>(ax * by - ay * bx)};
  *out = r;
  return out;
}

vec3* vec3_scale(const vec3* a, const float* factor, vec3* out) {
  if (a->state == 0) {
    *out = zero_valid();
    return out;
  }
  const double f = *factor;
  const vec3 r{a->state, static_cast<float>(a->x * f), static_cast<float>(a->y * f),
               static_cast<float>(a->z * f)};
  *out = r;
  return out;
}

vec3 vec3::operator+(const vec3& b) const {
  vec3 r;
  vec3_add(this, &b, &r);
  return r;
}

vec3 vec3::operator-(const vec3& b) const {
  vec3 r;
  vec3_sub(this, &b, &r);
  return r;
}

vec3 vec3::cross(const vec3& b) const {
  vec3 r;
  vec3_cross(this, &b, &r);
  return r;
}

vec3 vec3::operator*(float factor) const {
  vec3 r;
  vec3_scale(this, &factor, &r);
  return r;
}

float vec3::length() const {
  const float xx = static_cast<float>(static_cast<double>(x) * x);
  const float yy = static_cast<float>(static_cast<double>(y) * y);
  const float zz = static_cast<float>(static_cast<double>(z) * z);
  const float sum = static_cast<float>(static_cast<double>(xx) + yy + zz);
  return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

vec3& vec3::normalize() {
  if (state != 1) return *this;
  const float len = length();
  state = 2;
  if (len < 1e-8) {
    x = y = z = 0.0f;
  } else {
    const double inv = static_cast<float>(1.0 / len);
    x = static_cast<float>(x * inv);
    y = static_cast<float>(y * inv);
    z = static_cast<float>(z * inv);
  }
  return *this;
}

vec3* rotate_vec3_euler(vec3* v, const double* ax, const double* ay, const double* az) {
  matrix r;  // only the nine block elements matter to matrix_times_vec3
  r.set_rotation(ax, ay, az);
  return matrix_times_vec3(&r, v, v);
}
