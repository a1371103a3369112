// The camera frame, the three vectors that gluLookAt takes.
#pragma once

#include "vec3.hpp"

struct camera_frame {
  vec3 eye;     // viewer position
  vec3 centre;  // point looked at
  vec3 up;      // up direction

  // Stores the nine values (eye x, y, z, centre x, y, z, up x, y, z) as f32
  // and sets the three states to 1.
  void set(const double* ex, const double* ey, const double* ez, const double* cx,
           const double* cy, const double* cz, const double* ux, const double* uy,
           const double* uz);

  // For eye, centre and up in that order:
  //   this = vec3_add(from, vec3_scale(vec3_sub(to, from), float(*t))).
  // this may be the same frame as from (or to).
  void lerp(const double* t, const camera_frame* from, const camera_frame* to);

  // gluLookAt with the nine components widened from f32 to double.
  void apply() const;
};
