// Every effect's draws from the shared generator: the state it leaves must be
// the state of exactly as many raw draws from the same seed. The expected
// counts follow from the drawing rules of each effect, not from the code.
#include "effect_test_support.hpp"

#include "production/effects.hpp"

#include <gtest/gtest.h>

namespace {

using effect_test::draws_made;

constexpr std::uint32_t seeds[] = {1, 42342342, 4242424242u, 600011};

spline_path straight_path(int points) {
  spline_path path;
  path.closed = false;
  for (int i = 0; i < points; ++i) {
    const vec3 p = make_vec3(static_cast<float>(i), 0.0f, 0.0f);
    const float w = 1.0f;
    path.append(&p, &w);
  }
  return path;
}

class EffectDraws : public effect_test::effect_fixture {};

TEST_F(EffectDraws, FixedCountEffects) {
  for (const std::uint32_t seed : seeds) {
    SCOPED_TRACE(seed);
    EXPECT_EQ(draws_made(seed, [] { draw_twinkle_star(0.5, 1.0); }), 1);
    EXPECT_EQ(draws_made(seed, [] { draw_blob(3.0); }), 4);
    EXPECT_EQ(draws_made(seed, [] { draw_flower(2.0, false); }), 22);
    EXPECT_EQ(draws_made(seed, [] { draw_flower(2.0, true); }), 22);
    EXPECT_EQ(draws_made(seed, [] { draw_pulse_strip(0.0); }), 1);
    EXPECT_EQ(draws_made(seed, [] { draw_pulse_strip(7.3); }), 1);
    EXPECT_EQ(draws_made(seed, [] { draw_pulse_strip_twin(0.0, false); }), 1);
    EXPECT_EQ(draws_made(seed, [] { draw_pulse_strip_twin(7.3, true); }), 1);
  }
}

TEST_F(EffectDraws, EffectsWithoutDraws) {
  const spline_path path = straight_path(40);
  auto* scene = effect_test::test_scene();
  EXPECT_EQ(draws_made(7, [&] { draw_spline_ribbon(path, 0.3, 1.0); }), 0);
  EXPECT_EQ(draws_made(7, [&] { draw_spline_silhouette(path); }), 0);
  EXPECT_EQ(draws_made(7, [&] { draw_spline_ribbon_sized(path, 0.3, -1.0, 2.0, 1.5); }), 0);
  EXPECT_EQ(draws_made(7, [&] { draw_spline_flyer(scene, path, 5.5, 1.0); }), 0);
  EXPECT_EQ(draws_made(7, [&] { draw_growing_stalk(path, 0.5, 1.0, 1.7, 1.0); }), 0);
  EXPECT_EQ(draws_made(7, [] { draw_leaf(make_vec3(0, 0, 0), make_vec3(0, 1, 0), 1.0); }), 0);
  EXPECT_EQ(draws_made(7, [] { draw_swinging_list(0.3, 1.0); }), 0);
  EXPECT_EQ(draws_made(7, [] { draw_mirrored_shape(5.0); }), 0);
  EXPECT_EQ(draws_made(7, [&] { draw_spline_glow_ribbons(scene, path, 0.5, 1.0, 1.0); }), 0);
  EXPECT_EQ(draws_made(7, [&] { draw_tile_path(scene, 0.0, "-l--r--r-ll--r-", true); }), 0);
}

TEST_F(EffectDraws, TreeDrawsPerBranchAndLeafPair) {
  auto tree_at = [](std::int32_t depth) {
    return [depth] { draw_tree_branch({0.7, make_vec3(0, 0, 0), make_vec3(0, 0.3f, 0), depth, 1.0}); };
  };
  // Depth 5 or more: returns at once.
  EXPECT_EQ(draws_made(99, tree_at(5)), 0);
  EXPECT_EQ(draws_made(99, tree_at(9)), 0);
  // Depth 4: its 16 step draws and its leaf pair; its child returns at once.
  EXPECT_EQ(draws_made(99, tree_at(4)), 16 + 2);
  // Depth 2: branches 1 + 3 (depth 3) + 3 (depth 4), leaf pairs on the 6 deep ones.
  EXPECT_EQ(draws_made(99, tree_at(2)), 7 * 16 + 6 * 2);
  // The whole tree: 67 drawing branches and 54 leaf pairs.
  EXPECT_EQ(draws_made(99, tree_at(0)), 67 * 16 + 54 * 2);
  // Leaves alone draw only from depth 4 on.
  EXPECT_EQ(draws_made(99, [] { draw_tree_leaves({0.0, make_vec3(0, 0, 0), make_vec3(0, 1, 0), 3}); }), 0);
  EXPECT_EQ(draws_made(99, [] { draw_tree_leaves({0.0, make_vec3(0, 0, 0), make_vec3(0, 1, 0), 4}); }), 2);
}

// The draws of one stroke by the stroke rule: per step a kink test (and its
// angle when taken), then a branch test.
int simulate_stroke(int steps, int* branches) {
  int draws = 0;
  for (int k = 0; k < steps; ++k) {
    ++draws;
    if (qm_rand() / 32767.0 < 0.2) {
      qm_rand();
      ++draws;
    }
    ++draws;
    if (qm_rand() / 32767.0 < 0.03) ++*branches;
  }
  return draws;
}

TEST_F(EffectDraws, RandomBranchesFollowTheStrokeRule) {
  EXPECT_EQ(draws_made(5, [] { draw_random_branches(1.0, -1, 1.0, 0.2); }), 0);
  EXPECT_EQ(draws_made(5, [] { draw_random_branches(0.0, 3, 1.0, 0.2); }), 0);

  for (const std::uint32_t seed : seeds) {
    SCOPED_TRACE(seed);
    // Depth 0: one stroke of 150 steps, no side strokes.
    qm_srand(seed);
    int unused = 0;
    const int single = simulate_stroke(150, &unused);
    EXPECT_EQ(draws_made(seed, [] { draw_random_branches(1.0, 0, 1.0, 0.4); }), single);

    // Depth 1: the root's 150 steps, then one 90-step stroke (growth 0.6) per
    // branch point, in order.
    qm_srand(seed);
    int branches = 0;
    int total = simulate_stroke(150, &branches);
    for (int b = 0; b < branches; ++b) {
      int grandchildren = 0;
      total += simulate_stroke(90, &grandchildren);
    }
    EXPECT_EQ(draws_made(seed, [] { draw_random_branches(1.0, 1, 1.0, 0.4); }), total);

    // Growth 0.4: side strokes have growth 0 and draw nothing.
    qm_srand(seed);
    branches = 0;
    const int short_stroke = simulate_stroke(60, &branches);
    EXPECT_EQ(draws_made(seed, [] { draw_random_branches(0.4, 2, 1.0, 0.0); }), short_stroke);
  }
}

TEST_F(EffectDraws, WireFigures) {
  for (const std::uint32_t seed : seeds) {
    SCOPED_TRACE(seed);
    // Path bits (7), two per strand (16), two flowers (44) and the gauge (1).
    EXPECT_EQ(draws_made(seed, [] { draw_wire_figure(3.0, true, 0.0); }), 68);
    EXPECT_EQ(draws_made(seed, [] { draw_wire_figure(3.0, false, 0.0); }), 23);
    // Path bits (4), strands (16) and one flower (22).
    EXPECT_EQ(draws_made(seed, [] { draw_wire_figure_small(3.0, true); }), 42);
    EXPECT_EQ(draws_made(seed, [] { draw_wire_figure_small(3.0, false); }), 20);
  }
}

}  // namespace
