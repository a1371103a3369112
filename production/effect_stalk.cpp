// The black stalk that grows along a curve, and its curling leaves.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"

#include <algorithm>
#include <cmath>

using namespace effect;

namespace {

// The stem at step `step`: its point, unit side vector and taper (0 at the
// root, 1 from step 4 on).
struct stem_frame {
  vec3 point;
  vec3 side;
  float taper;
};

stem_frame stem_at(const spline_path& path, double start, double length, int step) {
  const double u0 = step / 50.0;
  const double u1 = (step + 1) / 50.0;
  const double taper = std::pow(std::clamp(5.0 * std::sin(pi * u0), 0.0, 1.0), 0.3);
  const vec3 p0 = curve_point(path, static_cast<float>(start + u0 * 10.0 * length));
  const vec3 p1 = curve_point(path, static_cast<float>(start + length * (u1 * 10.0)));
  return {p0, normalized(side_vector(p0, p1)), static_cast<float>(taper)};
}

// The stem's width factor at step f: thick at the root, a ripple, two knots.
double stem_width(int f) {
  if (f <= 2) return 2.0;
  if (f <= 8) return 1.0 + 0.1 * std::sin(48.0 * (f / 50.0));
  if (f == 9) return 1.5;
  if (f == 10) return 1.0;
  return 1.5;
}

}  // namespace

void draw_leaf(vec3 base, vec3 direction, double bend) {
  emit_begin(GL_QUAD_STRIP);
  const double step_turn = -0.04 * bend;
  for (int i = 0; i <= 8; ++i) {
    turn_z(direction, step_turn);
    if (i == 4) turn_z(direction, -0.12 * bend);  // the kink at the middle
    const vec3 p = base + (direction * static_cast<float>(i)) * 0.14f;
    const vec3 s = normalized(direction.cross(z_axis()));
    const vec3 e1 = p + s * 0.05f;
    const vec3 e2 = p - s * 0.05f;
    emit_vertex3f(e1.x, e1.y, 0.0f);
    emit_vertex3f(e2.x, e2.y, 0.0f);
  }
  emit_end();
}

void draw_growing_stalk(const spline_path& path, double start, double gate, double length,
                        double growth) {
  if (gate < 0.0 || growth < 0.000001) return;

  glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
  emit_disable(GL_BLEND);
  emit_disable(GL_TEXTURE_2D);
  emit_color3f(0.0f, 0.0f, 0.0f);

  emit_begin(GL_QUAD_STRIP);
  if (11.0 * growth > 0.0) {
    int f = 0;
    do {
      const stem_frame s = stem_at(path, start, length, f);
      const vec3 half = ((s.side * 0.2f) * s.taper) * static_cast<float>(stem_width(f));
      const vec3 e1 = s.point + half;
      const vec3 e2 = s.point - half;
      emit_vertex3f(e1.x, e1.y, 0.0f);
      emit_vertex3f(e2.x, e2.y, 0.0f);
      ++f;
    } while (f < 11.0 * growth);
  }
  emit_end();

  if (!(10.0 * growth > 2.0)) return;
  int j = 2;
  do {
    const stem_frame s = stem_at(path, start, length, j);
    const vec3 offset = (s.side * 0.1f) * s.taper;
    const vec3 b1 = s.point + offset;
    const vec3 b2 = s.point - offset;
    const vec3 l1 = turned_z(s.side, 0.3 * std::sin(1.2 * j - 3.3 * start));
    const vec3 l2 = turned_z(s.side, -0.3 * std::sin((2.0 - 3.3 * start) + 1.2 * j));
    switch (j) {
      case 4:
        draw_leaf(b1, turned_z(l1, -0.5), 1.0);
        draw_leaf(b2, turned_z(l2, 0.5) * -1.0f, -1.0);
        break;
      case 5:
        draw_leaf(b1, turned_z(l1, -0.2) * 0.7f, 0.1);
        draw_leaf(b2, (turned_z(l2, 0.2) * -1.0f) * 0.7f, -0.1);
        break;
      case 6:
        draw_leaf(b1, turned_z(l1, 0.2) * 0.7f, -0.9);
        draw_leaf(b2, (turned_z(l2, -0.2) * 0.7f) * -1.0f, 0.9);
        break;
      case 9:
        draw_leaf(b1, turned_z(l1, 0.8), 0.0);
        draw_leaf(b2, turned_z(l2, -0.8) * -1.0f, 0.0);
        break;
      default:
        break;
    }
    ++j;
  } while (j < 10.0 * growth);
}
