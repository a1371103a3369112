// The black recursive tree: bent branches drawn as narrowing tubes, with two
// fluttering leaves near the tips of the deepest branches.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/random.hpp"

#include <array>
#include <cmath>

using namespace effect;

namespace {

constexpr int steps_per_branch = 8;
constexpr int ring_sides = 7;

// Flattens depth so the tree reads as a relief.
void emit_flattened(const vec3& v) { emit_vertex3f(v.x, v.y, v.z * 0.3f); }

// Direction of a child branch: the parent's final direction turned, then scaled.
vec3 child_direction(vec3 final_direction, double ax, double ay, double az, float scale) {
  turn(final_direction, ax, ay, az);
  return final_direction * scale;
}

// Vertex of ring m of the tube at angle th.
vec3 ring_vertex(const std::array<vec3, steps_per_branch + 1>& p, int m, double th,
                 double thickness) {
  const vec3 a = normalized(p[m + 1] - p[m]);
  const vec3 s1 = a.cross(x_axis());
  const vec3 s2 = s1.cross(a);
  const double radius = 0.3 * thickness * (1.0 - 0.8 * 0.125 * m);
  return p[m] + scaled(s1, radius * std::sin(th)) + scaled(s2, radius * std::cos(th));
}

}  // namespace

void draw_tree_branch(tree_branch branch) {
  const std::int32_t depth = branch.depth;
  if (depth > 4) return;
  const double tm = branch.time;
  const double sway = (std::sin(0.4 * depth + tm) * 0.02 + 0.02) * (0.2 * depth);

  std::array<vec3, steps_per_branch + 1> p;
  p[0] = branch.position;
  vec3 dir = branch.direction;
  for (int k = 1; k <= steps_per_branch; ++k) {
    p[k] = p[k - 1] + dir;
    const double r1 = random_unit();
    const double r2 = random_unit();
    turn(dir, 0.8 * r2 + sway - 0.4, 0.05, 0.3 * r1 - 0.15);
  }
  const vec3 final_direction = dir;

  if (depth < 3) {
    draw_tree_branch({tm, p[2], child_direction(final_direction, 0.2, 0.1, -0.1, 0.9f),
                      depth + 1, branch.thickness * 0.7});
    draw_tree_branch({tm, p[5], child_direction(final_direction, -0.2, 0.1, 0.0, 0.7f),
                      depth + 1, branch.thickness * 0.5});
  }
  const vec3 c_direction = child_direction(final_direction, -0.2, -0.3, 0.2, 0.7f);
  draw_tree_branch({tm, p[5], c_direction, depth + 1, branch.thickness * 0.5});

  draw_tree_leaves({tm, p[7], c_direction, depth + 1});

  for (int j = 0; j < steps_per_branch - 1; ++j) {
    emit_begin(GL_QUAD_STRIP);
    for (int k = 0; k <= ring_sides; ++k) {
      const double th = 2.0 * pi * k / ring_sides;
      emit_color3f(0.0f, 0.0f, 0.0f);
      emit_flattened(ring_vertex(p, j, th, branch.thickness));
      emit_flattened(ring_vertex(p, j + 1, th, branch.thickness));
    }
    emit_end();
  }
}

void draw_tree_leaves(tree_leaves leaves) {
  if (leaves.depth < 4) return;
  vec3 pos = leaves.position;
  for (int i = 0; i < 2; ++i) {
    vec3 l = make_vec3(0.0f, -1.0f, 0.0f);
    const double r = random_unit();
    const double az = (r - 0.5) * 1.5;
    const double ax = 0.4 * std::sin(az * 2.0 * leaves.time);
    turn(l, ax, 0.0, az);
    const vec3 s = l.cross(x_axis());
    pos = pos - l * 0.02f;  // the shift carries over to the second leaf
    const auto h = static_cast<float>((1.1 - 0.3 * i / 3.0) * 0.15);
    emit_color3f(0.0f, 0.0f, 0.0f);
    emit_begin(GL_QUADS);
    emit_flattened(pos);
    emit_flattened(pos + (l - s * 0.5f) * h);
    emit_flattened(pos + l * (2.0f * h));
    emit_flattened(pos + (l + s * 0.5f) * h);
    emit_end();
  }
}
