// Camera_frame.
#include "camera_frame.hpp"

#include "gl_emit.hpp"

void camera_frame::set(const double* ex, const double* ey, const double* ez, const double* cx,
                       const double* cy, const double* cz, const double* ux, const double* uy,
                       const double* uz) {
  eye = vec3{1, static_cast<float>(*ex), static_cast<float>(*ey), static_cast<float>(*ez)};
  centre = vec3{1, static_cast<float>(*cx), static_cast<float>(*cy), static_cast<float>(*cz)};
  up = vec3{1, static_cast<float>(*ux), static_cast<float>(*uy), static_cast<float>(*uz)};
}

namespace {

vec3 lerp_vec3(const vec3& from, const vec3& to, float t) {
  vec3 diff, scaled, r;
  vec3_sub(&to, &from, &diff);
  vec3_scale(&diff, &t, &scaled);
  vec3_add(&from, &scaled, &r);
  return r;
}

}  // namespace

void camera_frame::lerp(const double* t, const camera_frame* from, const camera_frame* to) {
  const float tf = static_cast<float>(*t);
  // Each vector is read from `from` and `to` before it is written, so this
  // may alias either of them.
  eye = lerp_vec3(from->eye, to->eye, tf);
  centre = lerp_vec3(from->centre, to->centre, tf);
  up = lerp_vec3(from->up, to->up, tf);
}

void camera_frame::apply() const {
  emit_look_at(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}
