// The flower emblem: centre disc, turning wedges, rings and scrolling dashes.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/random.hpp"

#include <cmath>

using namespace effect;

namespace {

// (r sin a, r cos a, 0) with the components rounded to floats.
vec3 rim_point(double r, double a) {
  return make_vec3(static_cast<float>(r * std::sin(a)), static_cast<float>(r * std::cos(a)),
                   0.0f);
}

void emit_textured(const vec3& p, float tex_scale, const vec3& tex_origin) {
  const vec3 tc = p * tex_scale + tex_origin;
  emit_tex_coord2f(tc.x, tc.y);
  emit_vertex3f(p.x, p.y, p.z);
}

// A random grey-blue: (g, g, (b + 0.5) g) with g = 0.5 a + 0.3.
void emit_random_tint(double a, double b) {
  const double g = 0.5 * a + 0.3;
  emit_color3f(static_cast<float>(g), static_cast<float>(g), static_cast<float>((b + 0.5) * g));
}

void emit_black() { emit_color3f(0.0f, 0.0f, 0.0f); }

}  // namespace

void draw_flower(double t, bool silhouette) {
  vec3 tex_origin = make_vec3(1.0f, 1.0f, 0.0f) * static_cast<float>(t);
  emit_rotatef(90.0f, 0.0f, 0.0f, 1.0f);

  // Centre disc.
  emit_begin(GL_TRIANGLE_FAN);
  const double r1 = random_unit();
  const double r2 = random_unit();
  emit_random_tint(r1, r2);
  if (silhouette) emit_black();
  emit_tex_coord2f(tex_origin.x, tex_origin.y);
  emit_vertex3f(0.0f, 0.0f, 0.0f);
  for (int i = 0; i <= 100; ++i) emit_textured(rim_point(10.0, i * 2.0 * pi / 100.0), 0.2f, tex_origin);
  emit_end();

  // Six white wedges, 1.02 radians apart, turning with t.
  for (int j = 0; j < 6; ++j) {
    const double start = j * 5.1 / 5.0 + 4.0 * t;
    emit_begin(GL_TRIANGLE_FAN);
    emit_color3f(1.0f, 1.0f, 1.0f);
    if (silhouette) emit_black();
    emit_tex_coord2f(tex_origin.x, tex_origin.y);
    emit_vertex3f(0.0f, 0.0f, 0.0f);
    for (int k = 0; k <= 6; ++k)
      emit_textured(rim_point(10.0, k * 2.0 * pi / 100.0 + start), 0.1f, tex_origin);
    emit_end();
  }

  // Rings 8-9, 9-10, 10-11, 11-12 and 1-2; the first, fourth and last black.
  for (int h = 0; h < 5; ++h) {
    const double r3 = random_unit();
    const double r4 = random_unit();
    emit_random_tint(r3, r4);
    if (h == 0 || h == 3) emit_black();
    if (silhouette) emit_black();
    emit_begin(GL_QUAD_STRIP);
    const double r5 = random_unit();
    tex_origin = make_vec3(-0.3f, static_cast<float>(0.5 * r5 - 0.3), 0.0f) * static_cast<float>(t);
    double inner = h + 8.0;
    double outer = h + 9.0;
    if (h == 4) {
      inner = 1.0;
      outer = 2.0;
      emit_black();
    }
    const double r6 = random_unit();
    const auto tex_scale = static_cast<float>(0.1 * r6 + 0.1);
    for (int k = 0; k <= 100; ++k) {
      const double a = k * 2.0 * pi / 100.0;
      emit_textured(rim_point(inner, a), tex_scale, tex_origin);
      emit_textured(rim_point(outer, a), tex_scale, tex_origin);
    }
    emit_end();
  }

  // Two dashed lines scrolling in opposite directions.
  emit_disable(GL_TEXTURE_2D);
  emit_black();
  glLineWidth(3.0f);
  emit_begin(GL_LINES);
  const double a = -4.0 * t;
  const double b = 4.0 * t;
  const double fa = a - std::trunc(a);
  const double fb = b - std::trunc(b);
  for (int i = 0; i < 150; ++i) {
    emit_black();
    emit_vertex3f(11.5f, static_cast<float>((fa + i) * 4.0), 0.0f);
    emit_vertex3f(11.5f, static_cast<float>((fa + i + 0.8) * 4.0), 0.0f);
    emit_vertex3f(-11.5f, static_cast<float>((fb + i) * 4.0), 0.0f);
    emit_vertex3f(-11.5f, static_cast<float>((fb + i + 0.8) * 4.0), 0.0f);
  }
  emit_end();
  emit_enable(GL_TEXTURE_2D);
}
