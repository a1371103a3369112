// Textured quads.
#include "quads.hpp"

#include "gl_emit.hpp"

#include <cmath>

double g_row_offsets[row_offset_count] = {};

void draw_textured_quad(const double* angle, const double* sx, const double* sy) {
  emit_rotatef(static_cast<float>(*angle), 0.0f, 0.0f, 1.0f);
  emit_scalef(static_cast<float>(std::fabs(*sx)), static_cast<float>(*sy), 0.0f);
  const bool mirrored = *sx <= 0.0;
  const float u0 = mirrored ? 1.0f : 0.0f;
  const float u1 = mirrored ? 0.0f : 1.0f;
  emit_begin(GL_QUADS);
  emit_tex_coord2f(u0, 0.0f);
  emit_vertex3f(-1.0f, -1.0f, 0.0f);
  emit_tex_coord2f(u1, 0.0f);
  emit_vertex3f(1.0f, -1.0f, 0.0f);
  emit_tex_coord2f(u1, 1.0f);
  emit_vertex3f(1.0f, 1.0f, 0.0f);
  emit_tex_coord2f(u0, 1.0f);
  emit_vertex3f(-1.0f, 1.0f, 0.0f);
  emit_end();
}

void draw_textured_quad_region(const double* angle, const double* sx, const double* sy,
                               double u_start, double v_start, double size) {
  const double k = *sy / *sx;
  emit_scalef(static_cast<float>(*sx), static_cast<float>(*sy), 0.0f);
  emit_rotatef(static_cast<float>(*angle), 0.0f, 0.0f, 1.0f);
  const auto u0 = static_cast<float>(u_start);
  const auto u1 = static_cast<float>(u_start + size);
  const auto v0 = static_cast<float>(k * v_start);
  const auto v1 = static_cast<float>(k * (v_start + size));
  emit_begin(GL_QUADS);
  emit_tex_coord2f(u0, v0);
  emit_vertex3f(-1.0f, -1.0f, 0.0f);
  emit_tex_coord2f(u1, v0);
  emit_vertex3f(1.0f, -1.0f, 0.0f);
  emit_tex_coord2f(u1, v1);
  emit_vertex3f(1.0f, 1.0f, 0.0f);
  emit_tex_coord2f(u0, v1);
  emit_vertex3f(-1.0f, 1.0f, 0.0f);
  emit_end();
}

void draw_offset_quad_strip(const double* angle, const double* sx, const double* sy,
                            double u_start, double v_start, double size, double /*ignored*/,
                            double amount) {
  const double k = *sy / *sx;
  const auto uL = static_cast<float>(u_start);
  const auto uR = static_cast<float>(u_start + size);
  const double m = k * v_start + k * size;
  emit_scalef(static_cast<float>(*sx), static_cast<float>(*sy), 0.0f);
  emit_rotatef(static_cast<float>(*angle), 0.0f, 0.0f, 1.0f);
  emit_begin(GL_QUAD_STRIP);
  for (int i = 0; i < row_offset_count; ++i) {
    const double f = i / 1000.0;
    const double v = f * m;
    const double y = 2.0 * f - 1.0;
    const double s = g_row_offsets[i] * amount;
    emit_tex_coord2f(uL, static_cast<float>(v));
    emit_vertex3f(static_cast<float>(s - 1.0), static_cast<float>(y), 0.0f);
    emit_tex_coord2f(uR, static_cast<float>(v));
    emit_vertex3f(static_cast<float>(s + 1.0), static_cast<float>(y), 0.0f);
  }
  emit_end();
}
