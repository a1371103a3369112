// Undulating textured strips that curl away at their end, each with a black
// circular gauge beside it that fills while a product of three sines is high.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/random.hpp"

#include <algorithm>
#include <cmath>

using namespace effect;

namespace {

enum class strip_style { white, shaded, silhouette };

void draw_strip(double t, double curl, strip_style style) {
  const double tt = 1.5 * t;
  const double c = std::sin(2.0 * tt);
  emit_enable(GL_TEXTURE_2D);
  emit_begin(GL_QUAD_STRIP);
  vec3 p = zero();
  vec3 q = make_vec3(1.1f, 0.0f, 0.0f);
  for (int i = 0; i < 95; ++i) {
    const double d = i / 100.0;
    const double w = std::sin(3.0 * tt - 2.0 * d) + 0.5;
    const double h = std::pow(std::sin(pi * d), 4.0) * (w * 0.04) + 1.0;
    const vec3 a = p + make_vec3(0.0f, static_cast<float>(35.0 * h), 0.0f);
    const vec3 b = p + make_vec3(0.0f, static_cast<float>(-35.0 * h), 0.0f);
    turn(q, 0.0, std::pow(d, 12.0) * (curl * c), 0.0);
    if (style == strip_style::white) {
      glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    } else {
      const double e = std::clamp(2.4 * d - 1.4, 0.0, 1.0);
      const auto f = static_cast<float>(1.0 - std::sin(pi * e) * (std::fabs(c) * 0.4));
      glColor4f(f, f, f, 1.0f);
      if (style == strip_style::silhouette) glColor4f(0.0f, 0.0f, 0.0f, 0.4f);
    }
    const auto u = static_cast<float>(d);
    emit_tex_coord2f(u, 1.0f);
    emit_vertex3f(a.x, a.y, a.z * 0.04f);
    emit_tex_coord2f(u, 0.0f);
    emit_vertex3f(b.x, b.y, b.z * 0.04f);
    p = p + q;
  }
  emit_end();
}

// One gauge half-disc of radius 3 swept to angle sweep; from_top fills from
// the top point downward, else from the bottom upward.
void emit_gauge(double sweep, bool from_top) {
  emit_begin(GL_QUAD_STRIP);
  for (int j = 0; j <= 100; ++j) {
    const double a = j * sweep / 100.0;
    const auto y = static_cast<float>(3.0 * (from_top ? std::cos(a) : std::cos(pi - a)));
    emit_vertex3f(static_cast<float>(3.0 * std::sin(a)), y, 0.0f);
    emit_vertex3f(static_cast<float>(3.0 * std::sin(-a)), y, 0.0f);
  }
  emit_end();
}

void draw_gauge(double t, float y0, bool twin) {
  const double base = 2.0 * 0.7 * (1.5 * t);
  const double product =
      std::sin(2.0 * base) * (std::sin(base * 1.3) * (std::sin(base * 2.7) * 1.5));
  const double pulse = std::pow(std::clamp(std::fabs(product), 0.0, 1.0), 6.0);
  random_unit();  // keeps the shared sequence in step; the value is not used
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
  glPushMatrix();
  glTranslatef(19.2f, y0, 0.1f);
  emit_disable(GL_TEXTURE_2D);
  const double level = 0.57 + pulse;
  if (level > 0.66) {
    const double sweep = level * 0.51 * pi;
    if (twin) emit_gauge(sweep, true);
    emit_gauge(sweep, false);
  }
  glPopMatrix();
}

}  // namespace

void draw_pulse_strip(double t) {
  draw_strip(t, 2.6, strip_style::white);
  draw_gauge(t, 4.8f, false);
}

void draw_pulse_strip_twin(double t, bool silhouette) {
  draw_strip(t, 0.6, silhouette ? strip_style::silhouette : strip_style::shaded);
  draw_gauge(t, 5.2f, true);
}
