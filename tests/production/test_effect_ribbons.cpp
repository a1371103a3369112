// Geometry of the curve-following effects, from their recorded GL calls.
#include "effect_test_support.hpp"

#include "production/effects.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using effect_test::primitives;
using effect_test::record;

// An open path of points (i, 0, 0) along +x: its right-hand side is -y.
spline_path line_path(int points, bool with_widths = true) {
  spline_path path;
  path.closed = false;
  for (int i = 0; i < points; ++i) {
    const vec3 p = make_vec3(static_cast<float>(i), 0.0f, 0.0f);
    const float w = 1.0f;
    if (with_widths) path.append(&p, &w);
    else path.append_point(&p);
  }
  return path;
}

class SplineRibbons : public effect_test::effect_fixture {};

TEST_F(SplineRibbons, RibbonHasFiftyPairsOfConstantHalfWidth) {
  const spline_path path = line_path(100);
  const auto prims = primitives(record([&] { draw_spline_ribbon(path, 0.0, 1.0); }));
  ASSERT_EQ(prims.size(), 1u);
  ASSERT_EQ(prims[0].mode, static_cast<GLenum>(GL_QUAD_STRIP));
  ASSERT_EQ(prims[0].vertices.size(), 100u);
  EXPECT_TRUE(prims[0].colours.empty());
  // Progress 0 starts at point 0; the offset is 27.6 to the left (+y) first.
  EXPECT_FLOAT_EQ(prims[0].vertices[0].a[0], 0.0f);
  EXPECT_NEAR(prims[0].vertices[0].a[1], 27.6, 1e-4);
  EXPECT_NEAR(prims[0].vertices[1].a[1], -27.6, 1e-4);
  EXPECT_FLOAT_EQ(prims[0].vertices[98].a[0], 49.0f);
  // u runs from 0 to 0.98; flip > 0 puts v = 0 on the first edge.
  EXPECT_FLOAT_EQ(prims[0].tex_coords[0].a[1], 0.0f);
  EXPECT_FLOAT_EQ(prims[0].tex_coords[1].a[1], 1.0f);
  EXPECT_FLOAT_EQ(prims[0].tex_coords[98].a[0], 0.98f);

  const auto flipped = primitives(record([&] { draw_spline_ribbon(path, -0.5, -1.0); }));
  EXPECT_FLOAT_EQ(flipped[0].tex_coords[0].a[1], 1.0f);
}

TEST_F(SplineRibbons, ProgressPastTheEndDrawsNothing) {
  const spline_path path = line_path(100);
  EXPECT_TRUE(record([&] { draw_spline_ribbon(path, 0.981, 1.0); }).empty());
  EXPECT_TRUE(record([&] { draw_spline_ribbon(path, 5.0, 1.0); }).empty());
  EXPECT_TRUE(record([&] { draw_spline_ribbon_sized(path, 0.99, 1.0, 1.0, 1.0); }).empty());
  EXPECT_FALSE(record([&] { draw_spline_ribbon_sized(path, 0.98, 1.0, 1.0, 1.0); }).empty());
}

TEST_F(SplineRibbons, SizedRibbonLengthWidthAndFlip) {
  const spline_path path = line_path(200);
  auto pairs = [&](double length) {
    const auto p = primitives(record([&] { draw_spline_ribbon_sized(path, 0.2, 1.0, 1.0, length); }));
    EXPECT_EQ(p.size(), 1u);
    return p.empty() ? 0u : p[0].vertices.size() / 2;
  };
  EXPECT_EQ(pairs(0.0), 0u);  // an empty begin/end pair
  EXPECT_EQ(pairs(1.0), 20u);
  EXPECT_EQ(pairs(1.02), 21u);

  const auto p = primitives(record([&] { draw_spline_ribbon_sized(path, 0.0, 0.0, 2.0, 1.0); }));
  ASSERT_EQ(p[0].vertices.size(), 40u);
  // Width 13.8 x 2 across, shifted by the sway sin(0) x 0.8 + 0.6 = 0.6 to the right.
  EXPECT_NEAR(p[0].vertices[0].a[1] - p[0].vertices[1].a[1], -27.6, 1e-4);
  EXPECT_NEAR(p[0].vertices[0].a[1] + p[0].vertices[1].a[1], 2 * -0.6, 1e-4);
  EXPECT_FLOAT_EQ(p[0].vertices[0].a[2], 12.0f);
  // A flip of exactly 0 counts as not above 0: v = 1 on the first edge.
  EXPECT_FLOAT_EQ(p[0].tex_coords[0].a[1], 1.0f);
  EXPECT_FLOAT_EQ(p[0].tex_coords[38].a[0], 19.0f / 20.0f);
}

TEST_F(SplineRibbons, SilhouetteLiesOnOneSide) {
  const spline_path path = line_path(10);
  const auto p = primitives(record([&] { draw_spline_silhouette(path); }));
  ASSERT_EQ(p.size(), 1u);
  ASSERT_EQ(p[0].vertices.size(), 18u);  // the last point has no pair
  for (std::size_t i = 0; i < p[0].vertices.size(); i += 2) {
    EXPECT_NEAR(p[0].vertices[i].a[1], -95.0, 1e-4);
    EXPECT_NEAR(p[0].vertices[i + 1].a[1], -250.0, 1e-4);
  }
  EXPECT_EQ(p[0].colours.size(), 9u);

  const spline_path single = line_path(1);
  const auto empty = primitives(record([&] { draw_spline_silhouette(single); }));
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_TRUE(empty[0].vertices.empty());
}

TEST_F(SplineRibbons, FlyerQuadsOnTheCurve) {
  const spline_path path = line_path(30);
  const auto p = primitives(record([&] { draw_spline_flyer(effect_test::test_scene(), path, 10.0, 0.0); }));
  ASSERT_EQ(p.size(), 3u);  // two wings, one body
  for (const auto& quad : p) {
    EXPECT_EQ(quad.mode, static_cast<GLenum>(GL_QUADS));
    ASSERT_EQ(quad.vertices.size(), 4u);
  }
  // Body: d = (1, 0), n = 0.9 (0, -1); s = 1.1 |sin 0.6|; offset (1.5 s - 4 + 9.6) n.
  const double s = static_cast<float>(1.1 * std::fabs(std::sin(0.6)));
  const double off = -0.9 * (1.5 * s - 4.0 + 9.6);
  const auto& body = p[2].vertices;
  EXPECT_NEAR(body[0].a[0], 10.0 - 50.0, 1e-3);
  EXPECT_NEAR(body[0].a[1], off, 1e-3);
  EXPECT_NEAR(body[1].a[0], 10.0 + 50.0, 1e-3);
  EXPECT_NEAR(body[2].a[1], off - 90.0, 1e-3);

  // A zero direction collapses every corner onto the point.
  spline_path still;
  still.closed = false;
  const vec3 q = make_vec3(3, 4, 0);
  still.append_point(&q);
  still.append_point(&q);
  for (const auto& quad : primitives(record([&] { draw_spline_flyer(effect_test::test_scene(), still, 0.0, 1.0); })))
    for (const auto& v : quad.vertices) {
      EXPECT_FLOAT_EQ(v.a[0], 3.0f);
      EXPECT_FLOAT_EQ(v.a[1], 4.0f);
    }
}

TEST_F(SplineRibbons, GlowRibbonsRevealAndClampToStoredPoints) {
  auto* scene = effect_test::test_scene();
  const spline_path path = line_path(21, false);
  const auto p = primitives(record([&] { draw_spline_glow_ribbons(scene, path, 0.0, 1.0, 1.0); }));
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].vertices.size(), 40u);  // k = 0 to 19
  EXPECT_TRUE(p[1].vertices.empty());    // progress 0: nothing revealed
  EXPECT_NEAR(p[0].vertices[0].a[1], -7.0, 1e-5);
  EXPECT_FLOAT_EQ(p[0].vertices[0].a[2], 12.0f);
  EXPECT_NEAR(p[0].tex_coords[2].a[0], 10.0 / 150.0, 1e-6);

  // Half revealed: M = 21 x 0.5 - 1 = 9.5, k = 0 to 9, narrower ribbon.
  const auto half = primitives(record([&] { draw_spline_glow_ribbons(scene, path, 0.5, 2.0, 1.0); }));
  ASSERT_EQ(half[1].vertices.size(), 20u);
  EXPECT_NEAR(half[1].vertices[0].a[1], -6.6, 1e-5);

  // Indices past the end repeat the last point: the last pair collapses.
  const auto over = primitives(record([&] { draw_spline_glow_ribbons(scene, path, 0.0, 1.0, 2.0); }));
  const auto& last = over[0].vertices.back();
  EXPECT_FLOAT_EQ(last.a[0], 20.0f);
  EXPECT_FLOAT_EQ(last.a[1], 0.0f);

  // One point, or none at all (count raised without points): empty strips.
  const spline_path one = line_path(1, false);
  for (const auto& prim : primitives(record([&] { draw_spline_glow_ribbons(scene, one, 1.0, 1.0, 1.0); })))
    EXPECT_TRUE(prim.vertices.empty());
  spline_path hollow;
  hollow.count = 5;
  for (const auto& prim : primitives(record([&] { draw_spline_glow_ribbons(scene, hollow, 1.0, 1.0, 1.0); })))
    EXPECT_TRUE(prim.vertices.empty());
}

}  // namespace
