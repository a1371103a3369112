// Two ribbons through the stored points of a path: a wide textured one and a
// narrower blue one that reveals the path and fades at its leading end.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/texture_slots.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace effect;

namespace {

constexpr int wide_slot = 990;
constexpr int glow_slot = 24;

// Stored point k, the index clamped to the points held. Callers check that
// the path holds at least one point.
const vec3& stored_point(const spline_path& path, std::int64_t k) {
  const auto last = static_cast<std::int64_t>(path.points.size()) - 1;
  return path.points[static_cast<std::size_t>(std::clamp<std::int64_t>(k, 0, last))];
}

vec3 stored_side(const spline_path& path, std::int64_t k) {
  return side_vector(stored_point(path, k), stored_point(path, k + 1));
}

}  // namespace

void draw_spline_glow_ribbons(const scene_context* scene, const spline_path& path,
                              double progress, double scale, double fraction) {
  const double n = path.count;
  // An empty path has no point to clamp to: the strips stay empty.
  const bool has_points = !path.points.empty();
  const auto s = static_cast<float>(scale);

  emit_enable(GL_TEXTURE_2D);
  bind_texture_index(scene, wide_slot);
  emit_begin(GL_QUAD_STRIP);
  const double wide_limit = n * fraction - 1.0;
  if (wide_limit > 0.0 && has_points) {
    std::int64_t k = 0;
    do {
      const vec3& q0 = stored_point(path, k);
      const vec3 side = (stored_side(path, k) * 7.0f) * s;
      const vec3 e1 = q0 + side;
      const vec3 e2 = q0 - side;
      const auto u = static_cast<float>(10.0 * k / (150.0 * scale));
      emit_tex_coord2f(u, 0.0f);
      emit_vertex3f(e1.x, e1.y, 12.0f);
      emit_tex_coord2f(u, 1.0f);
      emit_vertex3f(e2.x, e2.y, 12.0f);
      ++k;
    } while (k < wide_limit);
  }
  emit_end();

  glColor4f(0.0f, 0.2f, 0.7f, 0.4f);
  emit_enable(GL_TEXTURE_2D);
  bind_texture_index(scene, glow_slot);
  emit_begin(GL_QUAD_STRIP);
  const double reveal = n * progress - 1.0;
  if (reveal > 0.0 && has_points) {
    const auto slide = static_cast<float>(30.0 * progress);
    std::int64_t k = 0;
    do {
      const vec3& q0 = stored_point(path, k);
      const vec3 side = (stored_side(path, k) * 3.3f) * s;
      const vec3 e1 = q0 + side;
      const vec3 e2 = q0 - side;
      const double alpha = 1.0 - std::pow(k / reveal, 20.0);
      glColor4f(0.1f, 0.7f, 1.0f, static_cast<float>(alpha));
      emit_tex_coord2f(0.18f * e1.x + slide, 0.18f * e1.y);
      emit_vertex3f(e1.x, e1.y, 12.0f);
      emit_tex_coord2f(0.18f * e2.x + slide, 0.18f * e2.y);
      emit_vertex3f(e2.x, e2.y, 12.0f);
      ++k;
    } while (k < reveal);
  }
  emit_end();
}
