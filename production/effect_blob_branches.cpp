// The wobbling black blob and the randomly curling branch strokes.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/random.hpp"

#include <algorithm>
#include <array>
#include <cmath>

using namespace effect;

void draw_blob(double t) {
  glPushMatrix();
  emit_color3f(0.0f, 0.0f, 0.0f);
  emit_begin(GL_TRIANGLE_FAN);
  emit_vertex3f(0.0f, 0.0f, 0.0f);
  const double r1 = random_unit();
  const double r2 = random_unit();
  const double r3 = random_unit();
  const double r4 = random_unit();
  for (int i = 0; i <= 20; ++i) {
    const double a = i * (2.0 * pi) / 20.0;
    const double r = (0.1 * std::sin(2.0 * a * (r2 + 1.0) + 2.0 * t * (r1 + 1.0)) + 1.0) +
                     0.1 * std::sin(-2.0 * t * (r3 + 1.0) + 2.0 * a * (r4 + 1.0));
    emit_vertex3f(static_cast<float>(std::sin(a) * r), static_cast<float>(std::cos(a) * r),
                  0.0f);
  }
  emit_end();
  glPopMatrix();
}

void draw_random_branches(double growth, std::int32_t depth, double thickness,
                          double curl_phase) {
  if (depth < 0) return;
  vec3 p = zero();
  vec3 v = make_vec3(0.0f, -0.07f, 0.0f);
  const double g = std::clamp(growth, 0.0, 1.0);
  const double child_growth = std::clamp(growth - 0.4, 0.0, 1.0);

  std::array<vec3, max_branch_points> branch_points;
  std::array<double, max_branch_points> branch_thickness{};
  branch_points.fill(zero());
  int m = 0;

  emit_begin(GL_QUAD_STRIP);
  const double limit = 150.0 * g;
  if (limit > 0.0) {
    const double curl = std::sin(curl_phase) * 0.03 * 0.1;
    const auto thick = static_cast<float>(thickness);
    int k = 0;
    do {
      p = p + v;
      turn_z(v, curl);
      if (random_unit() < 0.2) {
        const double kink = random_unit();
        turn_z(v, (2.0 * kink - 1.0) * 0.3);
      }
      const vec3 n = normalized(v).cross(z_axis());
      const double c = 1.0 - k / 150.0;
      const vec3 half = ((n * static_cast<float>(c)) * thick) * 0.2f;
      const vec3 e1 = p + half;
      const vec3 e2 = p - half;
      // The draw is made even when the table is full (it cannot be: at most
      // one point per step), so the sequence never depends on capacity.
      if (random_unit() < 0.03 && m < max_branch_points) {
        branch_points[m] = p;
        branch_thickness[m] = c;
        ++m;
      }
      emit_vertex3f(e1.x, e1.y, 0.0f);
      emit_vertex3f(e2.x, e2.y, 0.0f);
      ++k;
    } while (k < limit);
  }
  emit_end();

  for (int j = 0; j < m; ++j) {
    glPushMatrix();
    glTranslatef(branch_points[j].x, branch_points[j].y, 0.0f);
    draw_random_branches(child_growth, depth - 1, branch_thickness[j], curl_phase + j * 0.5);
    glPopMatrix();
  }
}
