#include "scene_context.hpp"

#include <GL/glu.h>

scene_context g_scene_context;

scene_context::scene_context() {
  // Light and spare frames start all zero with valid states; the scene camera
  // looks from (0, 2, 0) at the origin with z up.
  const vec3 zero = make_vec3(0, 0, 0);
  spare_frame = camera_frame{zero, zero, zero};
  light = camera_frame{zero, zero, zero};
  camera = camera_frame{make_vec3(0, 2, 0), zero, make_vec3(0, 0, 1)};
  spare_list.clear();
  second_spare_list.clear();
  create_cg_context();
}

scene_context::~scene_context() {
  // Released here so that contexts made and dropped (tests) do not leak it.
  platform::shader::destroy_context(cg_context);
}

double scene_context::report_progress(double fraction) {
  return load_progress_hook ? load_progress_hook(fraction) : 0.0;
}

void scene_context::set_camera(const double* ex, const double* ey, const double* ez,
                               const double* cx, const double* cy, const double* cz,
                               const double* ux, const double* uy, const double* uz) {
  camera.set(ex, ey, ez, cx, cy, cz, ux, uy, uz);
}

void scene_context::apply_camera() const { camera.apply(); }

GLuint scene_context::texture_name_of_slot(int slot) const {
  const long long index =
      slot < first_absolute_slot ? static_cast<long long>(texture_base) + slot : slot;
  if (index < 0 || index >= texture_name_count) return 0;
  return texture_names[index];
}
