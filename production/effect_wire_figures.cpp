// Wire figures: bundles of eight strands along a path of straight runs and
// random curls, with a flower emblem where the curling begins.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/random.hpp"

#include <algorithm>
#include <cmath>

using namespace effect;

namespace {

// A random bit from the generator (0 or 1).
int random_bit() { return qm_rand() % 2; }

// Curl rate of an arc: varies with the previous random bit and time.
double arc_turn(int previous_bit, double t) { return std::sin(previous_bit + 0.5 * t) * 0.07 + 1.03; }

int arc_count(int bit) { return static_cast<int>(bit + 26.3); }

// The eight strands, j = -4 to 3: two random draws each.
void stroke_strands(const spline_path& path, double t, double t0, double inner_grey_factor) {
  for (int j = -4; j <= 3; ++j) {
    const double r = random_unit();
    const double e = (j == -4 || j == 3) ? 0.0 : std::pow(1.3 * r, 2.0) * inner_grey_factor;
    emit_color3f(static_cast<float>(e), static_cast<float>(e),
                 static_cast<float>(e * (1.0 + 0.07 * j)));
    if (j == 1) emit_disable(GL_TEXTURE_2D);
    else emit_enable(GL_TEXTURE_2D);
    const vec3 tex_offset =
        make_vec3(static_cast<float>(0.2 * j * t), static_cast<float>(-0.05 * t), 0.0f);
    const double r2 = random_unit();
    const double tex_scale = (0.3 * r2 + 0.1) * 1.3;
    draw_path_ribbon(&path, t0, path.count, &tex_offset, tex_scale, 0.5 * j, 0.25, -1.0);
  }
}

// The gauge over the large figure's emblem: a disc of radius 9 filled from
// the top and the bottom while the pulse is high. One random draw.
void draw_emblem_gauge(double t) {
  const double s = 2.0 * 0.1 * t;
  const double product =
      std::sin(2.0 * s) * (std::sin(1.3 * s) * (1.5 * std::sin(2.7 * s)));
  const double pulse = std::pow(std::clamp(std::fabs(product), 0.0, 1.0), 4.0);
  random_unit();  // keeps the shared sequence in step; the value is not used
  const double level = 0.5 + pulse;
  if (!(level > 0.00005)) return;
  const double sweep = level * 0.51 * pi;
  auto v = [](double x, double y) {
    emit_vertex3f(static_cast<float>(x), static_cast<float>(y), 0.0f);
  };
  emit_begin(GL_QUAD_STRIP);
  for (int k = 0; k <= 100; ++k) {
    const double b = k * sweep / 100.0;
    v(9.0 * std::sin(b), 9.0 * std::cos(b));
    v(9.0 * std::sin(-1.2 * b), 9.0 * std::cos(-1.2 * b));
  }
  emit_end();
  emit_begin(GL_QUAD_STRIP);
  for (int k = 0; k <= 100; ++k) {
    const double b = k * sweep / 100.0;
    v(9.0 * std::sin(b), 9.0 * std::cos(pi - b));
    v(9.0 * std::sin(-1.2 * b), 9.0 * std::cos(-(pi - 1.2 * b)));
  }
  emit_end();
}

}  // namespace

void path_add_arc(spline_path& path, vec3& position, vec3& direction, std::int32_t count,
                  double turn) {
  const double a = turn * 4.4 * (pi / 2.0) / 15.0;
  for (std::int32_t i = 0; i < count; ++i) {
    turn_z(direction, a);
    position = position + direction;
    path.append_point(&position);
  }
}

void path_add_straight(spline_path& path, vec3& position, vec3& direction) {
  for (int i = 0; i < 5; ++i) {
    position = position + direction;
    path.append_point(&position);
  }
}

spline_path build_wire_figure_path(double t) {
  spline_path path;
  vec3 position = zero();
  vec3 direction = make_vec3(1.0f, 0.0f, 0.0f);
  path_add_straight(path, position, direction);
  path_add_straight(path, position, direction);
  int previous = 0;
  for (int i = 0; i < 6; ++i) {
    const double turn = arc_turn(previous, t);
    previous = random_bit();
    path_add_arc(path, position, direction, arc_count(previous), turn);
    for (int s = 0; s < 3; ++s) path_add_straight(path, position, direction);
    if (i == 5) {
      previous = random_bit();
      path_add_arc(path, position, direction, arc_count(previous), turn);
    }
  }
  return path;
}

spline_path build_wire_figure_small_path(double t) {
  spline_path path;
  vec3 position = zero();
  vec3 direction = make_vec3(1.0f, 0.0f, 0.0f);
  path_add_straight(path, position, direction);
  path_add_straight(path, position, direction);
  int previous = 0;
  for (int i = 0; i < 4; ++i) {
    const double turn = arc_turn(previous, t);
    for (int s = 0; s < 3; ++s) path_add_straight(path, position, direction);
    previous = random_bit();
    path_add_arc(path, position, direction, arc_count(previous), turn);
  }
  return path;
}

void draw_wire_figure(double t, bool with_flower, double start) {
  const spline_path path = build_wire_figure_path(t);
  stroke_strands(path, t, path.count * start, 1.0);

  glPushMatrix();
  glTranslatef(10.0f, 0.0f, 0.0f);  // where the straight run ends
  emit_scalef(0.5f, 0.5f, 0.5f);
  if (with_flower) {
    draw_flower(-0.06 * t, false);
    emit_rotatef(180.0f, 0.0f, 0.0f, 1.0f);
    emit_scalef(0.5f, 0.5f, 0.5f);
    draw_flower(0.06 * t, false);
    emit_scalef(2.0f, 2.0f, 2.0f);
    emit_disable(GL_DEPTH_TEST);
    draw_emblem_gauge(t);
  }
  glPopMatrix();
  emit_enable(GL_TEXTURE_2D);
}

void draw_wire_figure_small(double t, bool with_flower) {
  const spline_path path = build_wire_figure_small_path(t);
  stroke_strands(path, t, 0.0, 0.5);

  glPushMatrix();
  glTranslatef(10.0f, 0.0f, 0.0f);
  emit_scalef(0.4f, 0.4f, 0.5f);
  if (with_flower) draw_flower(t, false);
  glPopMatrix();
  emit_enable(GL_TEXTURE_2D);
}
