// Geometry and state of the free-standing shapes, from their recorded calls.
#include "effect_test_support.hpp"

#include "production/effects.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using effect_test::count_calls;
using effect_test::primitives;
using effect_test::record;

class EffectShapes : public effect_test::effect_fixture {};

TEST_F(EffectShapes, TwinkleStarArms) {
  const auto p = primitives(record([] { draw_twinkle_star(0.5, 0.0); }));
  ASSERT_EQ(p.size(), 1u);
  ASSERT_EQ(p[0].vertices.size(), 20u);
  // b = 0: d = 1.25; a = 0.5: arm length 12, body grey 0.25, tips 0.5.
  EXPECT_NEAR(p[0].vertices[6].a[1], 30 + 12 + 1.25, 1e-5);  // up tip
  EXPECT_NEAR(p[0].vertices[10].a[1], 30 - 12 + 1.25, 1e-5); // down tip
  EXPECT_NEAR(p[0].vertices[14].a[0], 80 + 12, 1e-5);        // right tip
  EXPECT_NEAR(p[0].vertices[18].a[0], 80 - 12, 1e-5);        // left tip
  EXPECT_FLOAT_EQ(p[0].colours[0].a[0], 0.25f);
  EXPECT_FLOAT_EQ(p[0].colours[2].a[0], 0.5f);

  // a = 0: black, arms of zero length.
  const auto dark = primitives(record([] { draw_twinkle_star(0.0, 2.0); }));
  EXPECT_FLOAT_EQ(dark[0].colours[0].a[0], 0.0f);
  EXPECT_FLOAT_EQ(dark[0].vertices[14].a[0], 80.0f);
}

TEST_F(EffectShapes, TreeBranchTubesAndLeaves) {
  const tree_branch deep{0.0, make_vec3(0, 0, 0), make_vec3(0, 0.3f, 0), 4, 1.0};
  const auto p = primitives(record([&] { draw_tree_branch(deep); }));
  // Its child (depth 5) draws nothing; two leaf quads, then 7 tube strips.
  ASSERT_EQ(p.size(), 2u + 7u);
  EXPECT_EQ(p[0].mode, static_cast<GLenum>(GL_QUADS));
  EXPECT_EQ(p[1].mode, static_cast<GLenum>(GL_QUADS));
  for (std::size_t i = 2; i < p.size(); ++i) {
    EXPECT_EQ(p[i].mode, static_cast<GLenum>(GL_QUAD_STRIP));
    EXPECT_EQ(p[i].vertices.size(), 16u);
  }
  EXPECT_TRUE(record([] { draw_tree_branch({0.0, make_vec3(0, 0, 0), make_vec3(0, 1, 0), 5, 1.0}); }).empty());

  // The whole tree: 67 branches of 7 strips, 54 leaf pairs.
  const auto whole = primitives(record([] { draw_tree_branch({1.0, make_vec3(0, 0, 0), make_vec3(0, 0.3f, 0), 0, 1.0}); }));
  EXPECT_EQ(whole.size(), 67u * 7u + 54u * 2u);

}

TEST_F(EffectShapes, BlobIsAClosedWobblyFan) {
  const auto p = primitives(record([] { draw_blob(1.5); }));
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].mode, static_cast<GLenum>(GL_TRIANGLE_FAN));
  ASSERT_EQ(p[0].vertices.size(), 22u);
  for (std::size_t i = 1; i < 22; ++i) {
    const double r = std::hypot(p[0].vertices[i].a[0], p[0].vertices[i].a[1]);
    EXPECT_GE(r, 0.8 - 1e-6);
    EXPECT_LE(r, 1.2 + 1e-6);
  }
  ASSERT_EQ(p[0].colours.size(), 0u);  // set before the fan
}

TEST_F(EffectShapes, RandomBranchStepCounts) {
  auto strip_vertices = [](double growth) {
    qm_srand(77);
    const auto p = primitives(record([&] { draw_random_branches(growth, 0, 1.0, 0.0); }));
    EXPECT_EQ(p.size(), 1u);
    return p.empty() ? 0u : p[0].vertices.size();
  };
  EXPECT_EQ(strip_vertices(1.0), 300u);
  EXPECT_EQ(strip_vertices(2.0), 300u);
  EXPECT_EQ(strip_vertices(0.5), 150u);
  EXPECT_EQ(strip_vertices(0.333), 100u);  // L = 49.95: steps 0 to 49
  EXPECT_EQ(strip_vertices(0.0), 0u);
  EXPECT_EQ(strip_vertices(-1.0), 0u);
  EXPECT_TRUE(record([] { draw_random_branches(1.0, -1, 1.0, 0.0); }).empty());

  // Growth 0.4: every side stroke is an empty strip, and recurses no further.
  qm_srand(5);
  const auto p = primitives(record([] { draw_random_branches(0.4, 3, 1.0, 0.0); }));
  ASSERT_GE(p.size(), 1u);
  EXPECT_EQ(p[0].vertices.size(), 120u);
  for (std::size_t i = 1; i < p.size(); ++i) EXPECT_TRUE(p[i].vertices.empty());

  // The stroke starts 0.4 x thickness wide and grows toward -y.
  qm_srand(5);
  const auto wide = primitives(record([] { draw_random_branches(1.0, 0, 2.0, 0.0); }));
  const auto& v = wide[0].vertices;
  EXPECT_NEAR(std::hypot(v[0].a[0] - v[1].a[0], v[0].a[1] - v[1].a[1]), 0.8, 1e-5);
  EXPECT_LT(v[298].a[1], 0.0f);
}

TEST_F(EffectShapes, FlowerStructureAndState) {
  const auto calls = record([] { draw_flower(0.5, false); });
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].op, gl_call::kind::rotatef);
  EXPECT_FLOAT_EQ(calls[0].a[0], 90.0f);
  const auto p = primitives(calls);
  ASSERT_EQ(p.size(), 1u + 6u + 5u + 1u);
  EXPECT_EQ(p[0].vertices.size(), 102u);
  for (int j = 1; j <= 6; ++j) EXPECT_EQ(p[j].vertices.size(), 8u);
  for (int h = 7; h <= 11; ++h) EXPECT_EQ(p[h].vertices.size(), 202u);
  EXPECT_EQ(p[12].mode, static_cast<GLenum>(GL_LINES));
  EXPECT_EQ(p[12].vertices.size(), 600u);
  // Ring radii: 8-9 first, 1-2 last.
  EXPECT_NEAR(p[7].vertices[0].a[1], 8.0, 1e-5);
  EXPECT_NEAR(p[7].vertices[1].a[1], 9.0, 1e-5);
  EXPECT_NEAR(p[11].vertices[1].a[1], 2.0, 1e-5);
  // Texturing is switched off for the dashes and left on.
  EXPECT_EQ(calls.back().op, gl_call::kind::enable);
  EXPECT_EQ(calls.back().mode, static_cast<GLenum>(GL_TEXTURE_2D));

  // The silhouette draws every vertex in black.
  double colour_sum = -1.0;
  int coloured_vertices = 0;
  for (const gl_call& c : record([] { draw_flower(0.5, true); })) {
    if (c.op == gl_call::kind::color3f) colour_sum = c.a[0] + c.a[1] + c.a[2];
    if (c.op != gl_call::kind::vertex3f) continue;
    EXPECT_EQ(colour_sum, 0.0);
    ++coloured_vertices;
  }
  EXPECT_EQ(coloured_vertices, 102 + 6 * 8 + 5 * 202 + 600);
}

TEST_F(EffectShapes, GrowingStalkPassesAndLeaves) {
  spline_path path;
  path.closed = false;
  for (int i = 0; i < 40; ++i) {
    const vec3 p = make_vec3(0.0f, static_cast<float>(i), 0.0f);
    path.append_point(&p);
  }
  auto stalk = [&](double growth) { return primitives(record([&] { draw_growing_stalk(path, 0.0, 1.0, 1.7, growth); })); };

  const auto small = stalk(0.2);
  ASSERT_EQ(small.size(), 1u);
  EXPECT_EQ(small[0].vertices.size(), 6u);  // F = 0 to 2, no leaves

  const auto half = stalk(0.45);
  ASSERT_EQ(half.size(), 3u);  // stem and the j = 4 pair
  EXPECT_EQ(half[0].vertices.size(), 10u);
  EXPECT_EQ(half[1].vertices.size(), 18u);
  EXPECT_EQ(half[2].vertices.size(), 18u);
  // The root pair has zero width.
  EXPECT_FLOAT_EQ(half[0].vertices[0].a[0], half[0].vertices[1].a[0]);

  const auto full = stalk(1.0);
  ASSERT_EQ(full.size(), 1u + 8u);
  EXPECT_EQ(full[0].vertices.size(), 22u);

  // The state it leaves for its leaves (and the next layer).
  const auto calls = record([&] { draw_growing_stalk(path, 0.0, 0.0, 1.7, 1.0); });
  EXPECT_EQ(count_calls(calls, gl_call::kind::disable, GL_BLEND), 1);
  EXPECT_EQ(count_calls(calls, gl_call::kind::disable, GL_TEXTURE_2D), 1);
  EXPECT_EQ(count_calls(calls, gl_call::kind::color3f), 1);

  EXPECT_TRUE(record([&] { draw_growing_stalk(path, 0.0, -0.1, 1.7, 1.0); }).empty());
  EXPECT_TRUE(record([&] { draw_growing_stalk(path, 0.0, 1.0, 1.7, 0.0000005); }).empty());
}

TEST_F(EffectShapes, SwingAngles) {
  EXPECT_NEAR(swing_angle_degrees(0.45), 15.0, 1e-9);
  EXPECT_NEAR(swing_angle_degrees(2.95), 15.0, 1e-9);
  EXPECT_NEAR(swing_angle_degrees(4.0), 0.0, 1e-9);
  EXPECT_NEAR(swing_angle_degrees(-0.5), 60.0 * (0.5 / 0.9) * (0.5 / 0.9), 1e-9);
  EXPECT_NEAR(swing_angle_degrees(0.9), 60.0, 1e-9);

  const auto calls = record([] { draw_swinging_list(0.45, 0.6); });
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_FLOAT_EQ(calls[0].a[0], 15.0f);
  EXPECT_FLOAT_EQ(calls[1].a[0], 37.5f * 0.6f);
  EXPECT_FLOAT_EQ(calls[1].a[1], 18.0f * 0.6f);
}

TEST_F(EffectShapes, MirroredShapeAtRest) {
  const auto p = primitives(record([] { draw_mirrored_shape(0.0); }));
  ASSERT_EQ(p.size(), 2u);
  ASSERT_EQ(p[0].vertices.size(), 60u);
  for (const auto& v : p[0].vertices) EXPECT_FLOAT_EQ(v.a[1], 0.0f);
  EXPECT_FLOAT_EQ(p[0].vertices.back().a[0], static_cast<float>(29.0 / 30.0 - 0.5));
  ASSERT_EQ(p[1].vertices.size(), 28u);
  for (const auto& v : p[1].vertices) {
    EXPECT_FLOAT_EQ(v.a[0], 0.0f);
    EXPECT_FLOAT_EQ(v.a[1], 0.0f);
  }
  // Later in the cycle the bump rises and the drop has a size.
  const auto grown = primitives(record([] { draw_mirrored_shape(2.0); }));
  EXPECT_GT(std::fabs(grown[1].vertices[1].a[1]), 0.0f);
}

TEST_F(EffectShapes, PulseStrips) {
  const auto rest = primitives(record([] { draw_pulse_strip(0.0); }));
  ASSERT_EQ(rest.size(), 1u);  // straight strip, no gauge
  ASSERT_EQ(rest[0].vertices.size(), 190u);
  EXPECT_FLOAT_EQ(rest[0].vertices[0].a[1], 35.0f);
  EXPECT_FLOAT_EQ(rest[0].vertices[1].a[1], -35.0f);
  EXPECT_NEAR(rest[0].vertices[188].a[0], 94 * 1.1, 1e-3);  // no curl at t = 0
  EXPECT_FLOAT_EQ(rest[0].tex_coords[188].a[0], 0.94f);

  // Find a time with the gauge shown: one strip more (two for the twin).
  double t = 0.0;
  for (double s = 0.0; s < 20.0; s += 0.01) {
    const double b = 1.4 * 1.5 * s;
    const double prod = std::sin(2 * b) * std::sin(1.3 * b) * std::sin(2.7 * b) * 1.5;
    if (std::pow(std::fmin(std::fabs(prod), 1.0), 6.0) > 0.3) {
      t = s;
      break;
    }
  }
  ASSERT_GT(t, 0.0);
  const auto single = primitives(record([&] { draw_pulse_strip(t); }));
  ASSERT_EQ(single.size(), 2u);
  EXPECT_EQ(single[1].vertices.size(), 202u);
  EXPECT_EQ(primitives(record([&] { draw_pulse_strip_twin(t, false); })).size(), 3u);
  // Gauge from the bottom: its first pair sits at the lowest point (0, -3).
  EXPECT_NEAR(single[1].vertices[0].a[1], -3.0, 1e-5);
}

}  // namespace
