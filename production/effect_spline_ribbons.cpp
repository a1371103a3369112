// Ribbons laid along the interpolated curve of a spline_path: the fixed-width
// travelling ribbon, the black silhouette band and the swaying sized ribbon.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"

#include <cmath>

using namespace effect;

void draw_spline_ribbon(const spline_path& path, double progress, double flip) {
  const double pc = clamp01(progress);
  const int start = static_cast<int>(pc * (path.count - 12)) + 1;
  if (progress > 0.98) return;

  emit_begin(GL_QUAD_STRIP);
  const float vstart = flip > 0.0 ? 0.0f : 1.0f;
  for (int i = 0; i < 50; ++i) {
    const int k = start + i;
    const vec3 a = curve_point(path, static_cast<float>(k - 1));
    const vec3 b = curve_point(path, static_cast<float>(k));
    const vec3 o = side_vector(a, b) * 6.9f * -1.0f * 4.0f;
    const vec3 left = a + o;
    const vec3 right = a - o;
    const float u = static_cast<float>(i / 50.0);
    emit_tex_coord2f(u, vstart);
    emit_vertex3f(left.x, left.y, 0.0f);
    emit_tex_coord2f(u, 1.0f - vstart);
    emit_vertex3f(right.x, right.y, 0.0f);
  }
  emit_end();
}

void draw_spline_silhouette(const spline_path& path) {
  emit_begin(GL_QUAD_STRIP);
  for (int i = 0; i <= path.count - 2; ++i) {
    const vec3 a = curve_point(path, i);
    const vec3 b = curve_point(path, i + 1);
    const vec3 n = side_vector(a, b);
    const vec3 inner = a + n * 95.0f;
    const vec3 outer = a + n * 250.0f;
    emit_color3f(0.0f, 0.0f, 0.0f);
    emit_vertex3f(inner.x, inner.y, 0.0f);
    emit_vertex3f(outer.x, outer.y, 0.0f);
  }
  emit_end();
}

void draw_spline_ribbon_sized(const spline_path& path, double progress, double flip,
                              double width, double length) {
  const double d = clamp01(progress);
  const int start = static_cast<int>(d * (path.count - 12));
  if (progress > 0.98) return;

  emit_begin(GL_QUAD_STRIP);
  const double f = 20.0 * length;
  if (!(f > 0.0)) {
    emit_end();
    return;
  }
  const float va = flip > 0.0 ? 0.0f : 1.0f;
  const auto w = static_cast<float>(width);
  double k = 0.0;
  do {
    const vec3 p0 = curve_point(path, static_cast<float>(start + k));
    const vec3 p1 = curve_point(path, static_cast<float>(start + k + 1.0));
    const vec3 n = side_vector(p0, p1);
    const auto s = static_cast<float>(std::sin(0.1 * k + 50.0 * progress) * 0.8 + 0.6);
    const vec3 sway = n * s;
    const vec3 e1 = (p0 + (n * 6.9f) * w) + sway;
    const vec3 e2 = (p0 - (n * 6.9f) * w) + sway;
    const auto u = static_cast<float>(k / f);
    emit_tex_coord2f(u, va);
    emit_vertex3f(e1.x, e1.y, 12.0f);
    emit_tex_coord2f(u, 1.0f - va);
    emit_vertex3f(e2.x, e2.y, 12.0f);
    k += 1.0;
  } while (k < f);
  emit_end();
}
