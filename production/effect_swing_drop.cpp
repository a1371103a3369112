// The swinging outline figure and the mirrored pulsing drop.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/outline_tessellator.hpp"
#include "render/shaping.hpp"

#include <algorithm>
#include <cmath>

using namespace effect;

namespace {

// Rises linearly to 1 at x = peak and falls back to 0 at x = 1.
double rise_and_fall(double x, double peak) {
  return x < peak ? x / peak : 1.0 - (x - peak) / (1.0 - peak);
}

}  // namespace

double swing_angle_degrees(double t) {
  const double f = t - std::trunc(t);
  const double e = f < 0.9 ? f / 0.9 : 1.0 - (f - 0.9) / 0.1;  // slow rise, fast fall
  return e * e * 100.0 * 0.6;
}

void draw_swinging_list(double t, double size) {
  glPushMatrix();
  emit_rotatef(static_cast<float>(swing_angle_degrees(t)), 0.0f, 0.0f, 1.0f);
  emit_scalef(static_cast<float>(37.5 * size), static_cast<float>(18.0 * size), 100.0f);
  call_display_list(swinging_figure_list);
  glPopMatrix();
}

void draw_mirrored_shape(double t) {
  emit_color3f(0.0f, 0.0f, 0.0f);
  glPushMatrix();
  emit_scalef(1.0f, -1.1f, 1.0f);

  const double c = (t * 0.4) * 0.2;
  const double phase = c - std::trunc(c);
  const double ramp_at = 12.0 * phase;
  const double g = shape_gamma_ramp(&ramp_at);
  const double gc = std::clamp(g, 0.0, 1.0);
  const double e1 = rise_and_fall(std::clamp(5.0 * gc, 0.0, 1.0), 0.7);
  const double e2 = rise_and_fall(std::clamp(3.0 * gc, 0.0, 1.0), 0.8) +
                    (1.0 - std::clamp(0.6 * g, 0.0, 1.0)) * 0.5;
  const double size = std::pow(std::clamp(5.0 * gc, 0.0, 1.0), 3.0);

  // The bump.
  emit_begin(GL_QUAD_STRIP);
  const double bump_power = std::pow(6.0 * e1, 3.0) + 5.0;
  for (int i = 0; i < 30; ++i) {
    const double s = i / 30.0;
    const auto x = static_cast<float>(s - 0.5);
    emit_vertex3f(x, 0.0f, 0.0f);
    emit_vertex3f(x, static_cast<float>(std::pow(std::sin(pi * s), bump_power) * (0.4 * e1)),
                  0.0f);
  }
  emit_end();

  // The drop above it.
  glPushMatrix();
  glTranslatef(0.0f, static_cast<float>(std::pow(2.6 * g, 1.8) + 0.22), 0.0f);
  emit_begin(GL_TRIANGLE_FAN);
  emit_vertex3f(0.0f, 0.0f, 0.0f);
  const double drop_power = std::pow(6.0 * e2, 2.0) + 5.0;
  for (int i = 0; i <= 26; ++i) {
    const double a = i * 2.0 * pi / 26.0;
    const double r =
        (std::pow(std::sin(pi * i / 26.0), drop_power) * (0.8 * e2) + 1.0) * size * 0.1;
    emit_vertex3f(static_cast<float>(r * std::sin(a)), static_cast<float>(r * std::cos(a)),
                  0.0f);
  }
  emit_end();
  glPopMatrix();

  glPopMatrix();
}
