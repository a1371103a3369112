// Small vector helpers shared by the effect files. All arithmetic goes through
// the vec3 operations, so every intermediate is rounded to single precision in
// the order the effects state it.
#pragma once

#include "render/spline_path.hpp"
#include "render/vec3.hpp"

#include <numbers>

namespace effect {

inline constexpr double pi = std::numbers::pi;

inline vec3 zero() { return make_vec3(0.0f, 0.0f, 0.0f); }
inline vec3 z_axis() { return make_vec3(0.0f, 0.0f, 1.0f); }
inline vec3 x_axis() { return make_vec3(1.0f, 0.0f, 0.0f); }

inline double clamp01(double x) { return x > 1.0 ? 1.0 : (x < 0.0 ? 0.0 : x); }

// rotate_vec3_euler with by-value angles.
inline void turn(vec3& v, double ax, double ay, double az) { rotate_vec3_euler(&v, &ax, &ay, &az); }
inline void turn_z(vec3& v, double az) { turn(v, 0.0, 0.0, az); }
inline vec3 turned_z(vec3 v, double az) {
  turn_z(v, az);
  return v;
}

inline vec3 normalized(vec3 v) { return v.normalize(); }

// v * a (single-precision factor).
inline vec3 scaled(const vec3& v, double a) { return v * static_cast<float>(a); }

// The curve point at parameter t (passed as a float). An empty path yields
// the origin rather than an uninitialised point.
inline vec3 curve_point(const spline_path& path, double t) {
  vec3 out = zero();
  path.point_at(static_cast<float>(t), &out);
  return out;
}

// cross(normalize(b - a), (0, 0, 1)): the right-hand side vector in z = 0.
inline vec3 side_vector(const vec3& a, const vec3& b) {
  return normalized(b - a).cross(z_axis());
}

}  // namespace effect
