// The flagged three-component vector `vec3` and its operations.
//
// A `vec3` is a plain 16-byte value {state, x, y, z}. The state is 0 for an
// invalid vector, 1 for a valid one and 2 for a normalised one. Components are
// single precision; every operation computes in double precision and rounds
// to single precision when it stores a component.
//
// State rules:
// - vec3_add, vec3_sub, vec3_cross: an operand with state 0 gives (0, 0, 0)
//   with state 1; otherwise the result has state 1 (never 0, never 2).
// - vec3_scale keeps the input's state; an input with state 0 gives (0, 0, 0)
//   with state 1.
// - vec3::normalize acts only on state 1 and leaves state 2 behind; vectors
//   with state 0 or 2 are left unchanged.
// - matrix_times_vec3 / matrix::transform (matrix.hpp) ignore the input state
//   and always yield state 1.
//
// Out-parameter forms take their operands by pointer and the result storage
// last, and return the result pointer; the result may alias an operand.
#pragma once

#include <cstdint>
#include <type_traits>

struct vec3 {
  std::int32_t state = 0;  // 0 invalid, 1 valid, 2 normalised
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  // By-value forms of the free operations below.
  vec3 operator+(const vec3& b) const;   // vec3_add(this, b)
  vec3 operator-(const vec3& b) const;   // vec3_sub(this, b)
  vec3 cross(const vec3& b) const;       // vec3_cross(this, b)
  vec3 operator*(float factor) const;    // vec3_scale(this, factor)

  // sqrt(x*x + y*y + z*z): each square and the sum rounded to single
  // precision. Does not look at the state.
  float length() const;

  // In place. Only a state-1 vector changes: it gets state 2 and, when its
  // length is at least 1e-8, unit length (components times the single-
  // precision reciprocal of the length), else (0, 0, 0). Returns *this.
  vec3& normalize();
};

static_assert(sizeof(vec3) == 16, "vec3 is the 16-byte {state, x, y, z} record");
static_assert(std::is_standard_layout_v<vec3> && std::is_trivially_copyable_v<vec3>);

// A valid vector (state 1) with the given components.
constexpr vec3 make_vec3(float x, float y, float z) { return vec3{1, x, y, z}; }

vec3* vec3_add(const vec3* a, const vec3* b, vec3* out);    // a + b
vec3* vec3_sub(const vec3* a, const vec3* b, vec3* out);    // a - b
vec3* vec3_cross(const vec3* a, const vec3* b, vec3* out);  // a x b
vec3* vec3_scale(const vec3* a, const float* factor, vec3* out);  // a * factor

// In place: v = R v, R = Rx(ax) Ry(ay) Rz(az) (radians; see matrix.hpp).
// The result has state 1.
vec3* rotate_vec3_euler(vec3* v, const double* ax, const double* ay, const double* az);
