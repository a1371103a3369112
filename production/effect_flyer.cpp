// The winged sprite that sits on a curve and faces along it.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/texture_slots.hpp"

#include <cmath>

using namespace effect;

namespace {

constexpr int wing_slot = 151;
constexpr int body_slot = 150;

// One 100 x 100 quad: corners P0 -/+ 50 d (+ 100 n) + offset.
void emit_sprite_quad(const vec3& p0, const vec3& d, const vec3& n, const vec3& offset) {
  const vec3 along = d * 50.0f;
  const vec3 across = n * 100.0f;
  const vec3 base = p0 - n * 0.0f;
  auto corner = [](float u, float v, const vec3& c) {
    emit_tex_coord2f(u, v);
    emit_vertex3f(c.x, c.y, 0.0f);
  };
  corner(0.0f, 1.0f, (base - along) + offset);
  corner(1.0f, 1.0f, (base + along) + offset);
  corner(1.0f, 0.0f, ((p0 + across) + along) + offset);
  corner(0.0f, 0.0f, ((p0 + across) - along) + offset);
}

}  // namespace

void draw_spline_flyer(const scene_context* scene, const spline_path& path, double position,
                       double phase) {
  glPushMatrix();
  bind_texture_index(scene, wing_slot);
  const auto flap = static_cast<float>(1.1 * std::fabs(std::sin(4.0 * phase + 0.6)));

  for (int i = 0; i < 2; ++i) {
    emit_begin(GL_QUADS);
    const vec3 p0 = curve_point(path, static_cast<float>(position));
    const vec3 p1 = curve_point(path, static_cast<float>(position + 1.0));
    const vec3 d = normalized(p1 - p0);
    const double w = i * pi + 4.0 * phase;
    const auto s = static_cast<float>(std::sin(w));
    const auto c = static_cast<float>(std::cos(w));
    vec3 dw = d;
    turn_z(dw, s * 0.01 * 5.0);
    const vec3 n = normalized(dw).cross(z_axis()) * 0.9f;

    vec3 o = dw * -16.0f + (n * -5.2f) * 0.4f;
    o = o + ((dw * s) * 1.4f) * -1.0f;
    o = o + n * 9.6f;
    o = o + ((n * c) * -1.0f) * 3.0f;
    o = o + (n * flap) * 1.5f;
    emit_sprite_quad(p0, dw, n, o);
    emit_end();
  }

  bind_texture_index(scene, body_slot);
  emit_begin(GL_QUADS);
  const vec3 p0 = curve_point(path, static_cast<float>(position));
  const vec3 p1 = curve_point(path, static_cast<float>(position + 1.0));
  const vec3 d = normalized(p1 - p0);
  const vec3 n = d.cross(z_axis()) * 0.9f;
  const vec3 body = (zero() + ((n * flap) * 1.5f + n * -4.0f)) + n * 9.6f;
  emit_sprite_quad(p0, d, n, body);
  emit_end();
  glPopMatrix();
}
