// Tile paths (placement, and the drawn quads on a real context) and the wire
// figures with their path builders.
#include "effect_test_support.hpp"

#include "production/effects.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace {

using effect_test::count_calls;
using effect_test::primitives;
using effect_test::record;

class TilePath : public effect_test::effect_fixture {};

TEST_F(TilePath, StraightRunAdvancesOneTileAtATime) {
  const auto tiles = plan_tile_path("-------");
  ASSERT_EQ(tiles.size(), 5u);
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    EXPECT_EQ(tiles[i].slot, 1000);
    EXPECT_NEAR(tiles[i].position.x, 13.05 * i, 1e-4);
    EXPECT_NEAR(tiles[i].position.y, 0.0, 1e-6);
    EXPECT_EQ(tiles[i].offset_x, 0.0f);
    EXPECT_EQ(tiles[i].offset_y, 0.0f);
  }
}

TEST_F(TilePath, LeftTurnFromHeadingRight) {
  const auto one = plan_tile_path("-l-");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].slot, 1040);
  EXPECT_FLOAT_EQ(one[0].offset_x, -1.6f);
  EXPECT_FLOAT_EQ(one[0].offset_y, 1.54f);
  EXPECT_FLOAT_EQ(one[0].position.x, 0.0f);

  // The heading is now up: the next tile is vertical, one lengthened step up.
  const auto two = plan_tile_path("-l--");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[1].slot, 1010);
  EXPECT_NEAR(two[1].position.x, 0.0, 1e-5);
  EXPECT_NEAR(two[1].position.y, 13.05 * 1.233, 1e-4);
}

TEST_F(TilePath, TurnCodesAndStepLengths) {
  // Right turn while heading up: code 4, drawn with the code-0 tile.
  const auto lr = plan_tile_path("-lr-");
  ASSERT_EQ(lr.size(), 2u);
  EXPECT_EQ(lr[1].slot, 1020);
  EXPECT_FLOAT_EQ(lr[1].offset_x, 1.6f);
  // Two turns in a row: 1.233 x 1.233 x 0.96.
  EXPECT_NEAR(lr[1].position.y, 13.05 * 1.233 * 1.233 * 0.96, 1e-3);

  // Right turn heading right: code 1; then heading down a left turn gives 3.
  const auto rl = plan_tile_path("-rl-");
  ASSERT_EQ(rl.size(), 2u);
  EXPECT_EQ(rl[0].slot, 1030);
  EXPECT_EQ(rl[1].slot, 1050);
  EXPECT_LT(rl[1].position.y, -13.0f);

  // Any other character draws the current corner and counts as a turn.
  const auto odd = plan_tile_path("-x--");
  ASSERT_EQ(odd.size(), 2u);
  EXPECT_EQ(odd[0].slot, 1020);  // code 10000 before any turn
  EXPECT_NEAR(odd[1].position.x, 13.05 * 1.233, 1e-4);

  EXPECT_TRUE(plan_tile_path("").empty());
  EXPECT_TRUE(plan_tile_path("--").empty());
}

TEST_F(TilePath, DrawsOneQuadPerCommand) {
  const auto calls = record([] { draw_tile_path(effect_test::test_scene(), 55.0, "-l--r--r-ll--r--r---ll---r---r--lrlr-", true); });
  EXPECT_EQ(count_calls(calls, gl_call::kind::begin, GL_QUADS), 35);
  const auto p = primitives(calls);
  ASSERT_FALSE(p.empty());
  EXPECT_FLOAT_EQ(p[0].vertices[2].a[0], 1.0f);  // the unit quad, scaled by 10
}

// The quads as OpenGL receives them, through the matrix stack, in feedback
// mode: the tile centres of "-l-" and "---".
TEST_F(TilePath, TilesLandWhereTheWalkPlacesThem) {
  if (!effect_test::make_gl_current()) GTEST_SKIP() << "no off-screen OpenGL context";
  glViewport(0, 0, 200, 200);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-100, 100, -100, 100, -1, 1);  // window = object + 100
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_CULL_FACE);

  auto corners = [](const char* path) {
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw_tile_path(effect_test::test_scene(), 0.0, path, false);
    const GLint n = glRenderMode(GL_RENDER);
    std::set<std::pair<long, long>> out;
    for (GLint i = 0; i < n;) {
      const auto token = static_cast<GLint>(buffer[i++]);
      if (token != GL_POLYGON_TOKEN) break;
      const auto count = static_cast<GLint>(buffer[i++]);
      for (GLint k = 0; k < count; ++k, i += 2)
        out.insert({std::lround((buffer[i] - 100.0) * 100), std::lround((buffer[i + 1] - 100.0) * 100)});
    }
    return out;
  };
  auto has = [](const std::set<std::pair<long, long>>& s, double x, double y) {
    return s.count({std::lround(x * 100), std::lround(y * 100)}) == 1;
  };

  const auto turn = corners("-l-");
  EXPECT_TRUE(has(turn, -1.6 - 10, 1.54 - 10));
  EXPECT_TRUE(has(turn, -1.6 + 10, 1.54 + 10));
  const auto run = corners("-----");
  EXPECT_TRUE(has(run, -10, -10));
  EXPECT_TRUE(has(run, 26.1 + 10, 10));
  EXPECT_FALSE(has(run, 39.15 + 10, 10));
}

class WireFigures : public effect_test::effect_fixture {};

TEST_F(WireFigures, PathBuilders) {
  spline_path path;
  vec3 position = make_vec3(0, 0, 0);
  vec3 direction = make_vec3(1, 0, 0);
  path_add_arc(path, position, direction, 0, 1.0);
  path_add_arc(path, position, direction, -3, 1.0);
  EXPECT_EQ(path.count, 0);
  EXPECT_FLOAT_EQ(position.x, 0.0f);
  EXPECT_FLOAT_EQ(direction.x, 1.0f);

  path_add_straight(path, position, direction);
  EXPECT_EQ(path.count, 5);
  EXPECT_FLOAT_EQ(path.points[4].x, 5.0f);

  path_add_arc(path, position, direction, 3, 1.0);
  const double a = 4.4 * (std::acos(-1.0) / 2.0) / 15.0;
  EXPECT_EQ(path.count, 8);
  EXPECT_NEAR(direction.x, std::cos(3 * a), 1e-5);
  EXPECT_NEAR(direction.y, std::sin(3 * a), 1e-5);
  EXPECT_NEAR(path.points[5].x, 5.0 + std::cos(a), 1e-5);
  EXPECT_TRUE(path.widths.empty());  // the figures stroke with a constant width
}

TEST_F(WireFigures, PathLengths) {
  for (std::uint32_t seed = 1; seed < 40; ++seed) {
    qm_srand(seed);
    const spline_path large = build_wire_figure_path(0.1 * seed);
    EXPECT_GE(large.count, 282);
    EXPECT_LE(large.count, 289);
    EXPECT_EQ(large.points.size(), static_cast<std::size_t>(large.count));
    EXPECT_FLOAT_EQ(large.points[9].x, 10.0f);
    qm_srand(seed);
    const spline_path small = build_wire_figure_small_path(0.1 * seed);
    EXPECT_GE(small.count, 174);
    EXPECT_LE(small.count, 178);
  }
  // From seed 1 the bits are 41, 18467, 6334, 26500, 19169, ... mod 2.
  qm_srand(1);
  EXPECT_EQ(build_wire_figure_small_path(0.0).count, 10 + 60 + 27 + 27 + 26 + 26);
}

TEST_F(WireFigures, StrandsAndEmblem) {
  const auto small = record([] { draw_wire_figure_small(2.0, false); });
  const auto strips = primitives(small);
  ASSERT_EQ(strips.size(), 8u);
  for (const auto& s : strips) EXPECT_EQ(s.mode, static_cast<GLenum>(GL_QUAD_STRIP));
  // j = 1 alone is untextured; the call ends with texturing on.
  EXPECT_EQ(count_calls(small, gl_call::kind::disable, GL_TEXTURE_2D), 1);
  EXPECT_EQ(small.back().op, gl_call::kind::enable);
  // The outer strands (first and last) are black.
  std::vector<gl_call> colours;
  for (const auto& c : small)
    if (c.op == gl_call::kind::color3f) colours.push_back(c);
  ASSERT_EQ(colours.size(), 8u);
  EXPECT_EQ(colours.front().a[0] + colours.front().a[2], 0.0);
  EXPECT_EQ(colours.back().a[0] + colours.back().a[2], 0.0);
  // Half-width 0.25 at side offset 0.5 j: the first strand sits at -2 +- 0.25
  // across the straight start (which runs along +x, right-hand side -y).
  EXPECT_NEAR(strips[0].vertices[0].a[1], 2.0 - 0.25, 1e-5);

  const auto large = record([] { draw_wire_figure(2.0, true, 0.0); });
  EXPECT_EQ(count_calls(large, gl_call::kind::disable, GL_DEPTH_TEST), 1);
  const auto p = primitives(large);
  ASSERT_EQ(p.size(), 8u + 2u * 13u + 2u);
  EXPECT_EQ(p.back().vertices.size(), 202u);
  EXPECT_EQ(count_calls(record([] { draw_wire_figure(2.0, false, 0.0); }), gl_call::kind::disable, GL_DEPTH_TEST), 0);
}

}  // namespace
