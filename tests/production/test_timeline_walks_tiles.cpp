// The random-walk, tile-path, flower, shaded-walk, fish and traced-line
// layers (timeline layers 14 to 29): the walk and tile-row builders, the GL
// state and generator state the two blocks leave, and that the shaded
// bundles draw nothing before they grow.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "production/layers_shaded_walks.hpp"
#include "production/layers_walks_tiles.hpp"
#include "production/part_start.hpp"
#include "render/random.hpp"
#include "render/render_pass.hpp"
#include "render/scene_context.hpp"
#include "render/texture_slots.hpp"
#include "show_harness.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;

std::uint32_t state_after_raw_draws(std::uint32_t seed, int n) {
    qm_srand(seed);
    for (int i = 0; i < n; ++i) qm_rand();
    return qm_random_state();
}

double distance(const vec3& a, const vec3& b) {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z);
}

// ---- The random walk ---------------------------------------------------

TEST(LayerRandomWalk, StepsOfOneLengthAndHalfTurnsOfFifteenPoints) {
    random_walk_shape shape;  // layer 14's walk
    shape.steps = 1600;
    spline_path path;
    qm_srand(423424242u);
    build_random_walk_path(path, shape);
    // Two draws per step, whatever they decide.
    EXPECT_EQ(qm_random_state(), state_after_raw_draws(423424242u, 2 * 1600));

    ASSERT_EQ(path.points.size(), static_cast<std::size_t>(path.count));
    ASSERT_EQ(path.widths.size(), path.points.size());
    const int extra = path.count - 1600;
    EXPECT_GT(extra, 0) << "1600 steps at 2% make some half turns";
    EXPECT_EQ(extra % 15, 0) << "each half turn adds 15 points";
    EXPECT_NEAR(distance(make_vec3(0, 0, 0), path.points[0]), 1.5, 1e-5);
    for (std::size_t i = 1; i < path.points.size(); ++i)
        ASSERT_NEAR(distance(path.points[i - 1], path.points[i]), 1.5, 1e-3) << "point " << i;
    for (const vec3& w : path.widths) ASSERT_EQ(w.x, 1.0f);

    // Every bend is a half turn, so the walk always ends heading along x.
    const vec3& a = path.points[path.points.size() - 2];
    const vec3& b = path.points.back();
    EXPECT_NEAR(std::fabs(double(b.x) - a.x), 1.5, 1e-3);
    EXPECT_NEAR(double(b.y) - a.y, 0.0, 1e-3);
}

TEST(LayerRandomWalk, LateBendsDrawOnlyAfterStepTen) {
    random_walk_shape shape;
    shape.start = make_vec3(523.9f, 203.6f, 0.0f);
    shape.direction = make_vec3(static_cast<float>(std::cos(pi)), static_cast<float>(std::sin(pi)), 0);
    shape.steps = 600;
    shape.width = 0.4f;
    shape.low_draw_side = 1.0;
    shape.bends_after = 10;
    for (std::uint32_t seed : {323423423u, 323423424u, 523423424u}) {
        spline_path path;
        qm_srand(seed);
        build_random_walk_path(path, shape);
        // Steps 0 to 10 draw only the side.
        EXPECT_EQ(qm_random_state(), state_after_raw_draws(seed, 2 * 600 - 11)) << seed;
        EXPECT_EQ((path.count - 600) % 15, 0);
        // The first twelve points lie on the start line, one unit apart.
        for (int i = 0; i < 12; ++i) {
            EXPECT_NEAR(path.points[i].x, 523.9f - (i + 1), 1e-3);
            EXPECT_NEAR(path.points[i].y, 203.6f, 1e-3);
        }
        for (const vec3& w : path.widths) ASSERT_EQ(w.x, 0.4f);
    }
}

TEST(LayerRandomWalk, OpeningQuarterTurnComesRightAfterTheFirstPoint) {
    random_walk_shape shape;
    shape.start = make_vec3(540.0f, 76.0f, 0.0f);
    shape.direction = make_vec3(0, -1.5f, 0);
    shape.steps = 600;
    shape.width = 0.9f;
    shape.opening_turn_steps = 25;
    shape.opening_turn_angle = 2.0 * pi / 100.0;
    spline_path path;
    qm_srand(123424246u);
    build_random_walk_path(path, shape);
    EXPECT_EQ(qm_random_state(), state_after_raw_draws(123424246u, 2 * 600));
    EXPECT_EQ((path.count - 600 - 25) % 15, 0);
    EXPECT_NEAR(path.points[0].x, 540.0f, 1e-4);
    EXPECT_NEAR(path.points[0].y, 74.5f, 1e-4);
    // After a quarter turn to the left the walk heads along +x.
    EXPECT_NEAR(path.points[25].x - path.points[24].x, 1.5, 1e-3);
    EXPECT_NEAR(path.points[25].y - path.points[24].y, 0.0, 1e-3);
}

// ---- The rewritten tile rows --------------------------------------------

TEST(LayerTileRows, RowZeroIsTheLiteralAndTheOthersRandomVariants) {
    const std::string literal =
        "---------r--l-l-r--r-l-l-l--rr-rll-r-l-lr-r--rl--rll--rr--ll--l--rr";
    qm_srand(23423429u);
    EXPECT_EQ(rewritten_tile_row(0), literal);
    EXPECT_EQ(qm_random_state(), 23423429u) << "row 0 draws nothing";

    const std::string row1 = rewritten_tile_row(1);
    EXPECT_EQ(qm_random_state(), state_after_raw_draws(23423429u, 60));
    const std::uint32_t after1 = qm_random_state();
    const std::string row2 = rewritten_tile_row(2);
    EXPECT_EQ(qm_random_state(), state_after_raw_draws(after1, 60));

    for (const std::string* row : {&row1, &row2}) {
        ASSERT_EQ(row->size(), literal.size());
        for (std::size_t i = 0; i < literal.size(); ++i) {
            if ((*row)[i] == literal[i] || (row == &row1 && i >= 40)) continue;
            EXPECT_TRUE(i >= 10 && i <= 59) << "index " << i << " outside 10..59";
            EXPECT_TRUE((*row)[i] == '-' || (*row)[i] == 'r') << "index " << i;
        }
    }
    EXPECT_EQ(row1.substr(40), std::string(literal.size() - 40, '-'));
    EXPECT_NE(row2, literal);
    EXPECT_NE(row2.substr(40), std::string(literal.size() - 40, '-'));
}

// ---- The traced lines ------------------------------------------------------

TEST(LayerTracedLines, WanderingLineDrawsAndTurnsAsLaidOut) {
    for (double t : {20.0, 50.0, 80.0}) {
        spline_path path;
        qm_srand(423423424u);
        trace_wandering_line(path, t);
        // Two draws a step, a third for the bend test of steps 71 to 199.
        EXPECT_EQ(qm_random_state(), state_after_raw_draws(423423424u, 2 * 340 + 129)) << t;
        EXPECT_TRUE(path.widths.empty()) << "pushed points carry no widths";
        ASSERT_EQ(path.points.size(), static_cast<std::size_t>(path.count));
        // 340 steps, 150 points of fixed turns, 30 per random bend.
        EXPECT_EQ((path.count - 340 - 150) % 30, 0) << t;
        EXPECT_NEAR(path.points[0].x, 8.34f, 1e-4);
        EXPECT_NEAR(path.points[0].y, 102.0f, 1e-4);
        for (std::size_t i = 1; i < path.points.size(); ++i)
            ASSERT_NEAR(distance(path.points[i - 1], path.points[i]), 1.0, 1e-3);
    }
}

TEST(LayerTracedLines, WanderingLineKeepsStillUntil47Seconds) {
    auto line = [](double t) {
        spline_path path;
        qm_srand(423423424u);
        trace_wandering_line(path, t);
        return path.points;
    };
    const auto a = line(20.0), b = line(46.9), c = line(53.0);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i].x, b[i].x) << i;
    // Later the bends of the middle change; the first 71 steps never do.
    ASSERT_GE(c.size(), 100u);
    for (std::size_t i = 0; i < 100; ++i) ASSERT_EQ(a[i].y, c[i].y) << i;
    bool differs = a.size() != c.size();
    for (std::size_t i = 0; !differs && i < a.size(); ++i) differs = a[i].x != c[i].x;
    EXPECT_TRUE(differs);
}

TEST(LayerTracedLines, SinkingLineDrawsThreePerEarlyStepAndSinks) {
    spline_path now, later;
    qm_srand(423423424u);
    trace_sinking_line(now, 90.0);
    EXPECT_EQ(qm_random_state(), state_after_raw_draws(423423424u, 2 * 340 + 138));
    qm_srand(423423424u);
    trace_sinking_line(later, 91.0);
    // 340 steps, 60 points of fixed turns, 5 per random bend.
    EXPECT_EQ((now.count - 340 - 60) % 5, 0);
    ASSERT_EQ(now.points.size(), later.points.size());
    for (std::size_t i = 0; i < now.points.size(); ++i) {
        ASSERT_NEAR(later.points[i].x, now.points[i].x, 1e-3) << i;
        ASSERT_NEAR(later.points[i].y - now.points[i].y, -4.12, 2e-3) << i;
    }
    EXPECT_NEAR(now.points[0].x, 667.9 + std::cos(-0.4), 1e-3);
}

// ---- GL state the blocks leave --------------------------------------------

struct gl_snapshot {
    GLint bound = 0, blend_src = 0, blend_dst = 0, alpha_func = 0;
    GLfloat alpha_ref = 0, colour[4] = {};
    GLboolean blend = 0, texture = 0, alpha_test = 0, depth_test = 0, depth_mask = 0;
};

gl_snapshot snapshot() {
    gl_snapshot s;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.bound);
    glGetIntegerv(GL_BLEND_SRC, &s.blend_src);
    glGetIntegerv(GL_BLEND_DST, &s.blend_dst);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &s.alpha_func);
    glGetFloatv(GL_ALPHA_TEST_REF, &s.alpha_ref);
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    s.blend = glIsEnabled(GL_BLEND);
    s.texture = glIsEnabled(GL_TEXTURE_2D);
    s.alpha_test = glIsEnabled(GL_ALPHA_TEST);
    s.depth_test = glIsEnabled(GL_DEPTH_TEST);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depth_mask);
    return s;
}

GLint slot_name(int slot) { return static_cast<GLint>(g_scene_context.texture_names[slot]); }

// Runs one layer block at part time t from the state phase 2 starts with,
// inside an attribute push so that nothing leaks into later frames.
class LayerBlockState : public testing::Test {
protected:
    void SetUp() override {
        h_ = show_harness::get();
        if (!h_) GTEST_SKIP() << "no GL context or data set";
        h_->render_at(1.0);   // the scene camera and a sane GL state
        h_->gl_error();
    }

    template <typename Block>
    gl_snapshot run(double t, Block block) {
        part_start& part = h_->part();
        const double saved = part.time;
        part.time = t;
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        GLint depth_before = 0, depth_after = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
        reset_gl_state();
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        glEnable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glDepthFunc(GL_LEQUAL);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_ALPHA_TEST);
        bind_texture_index(&g_scene_context, part.texture_base + 24);
        block(part, &g_scene_context);
        const gl_snapshot s = snapshot();
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
        EXPECT_EQ(depth_after, depth_before) << "matrix pushes and pops pair up at t = " << t;
        glPopMatrix();
        glPopAttrib();
        EXPECT_EQ(h_->gl_error(), 0u) << "t = " << t;
        part.time = saved;
        return s;
    }

    show_harness* h_ = nullptr;
};

TEST_F(LayerBlockState, WalksBlockLeavesTheTileStateAndTheRowSeed) {
    // 99.5 s: two walks of layer 14 draw, the tile and flower layers do not.
    const gl_snapshot s = run(99.5, draw_walks_tiles_layers);
    EXPECT_EQ(s.bound, slot_name(1010));
    EXPECT_EQ(s.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(s.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(s.alpha_func, GL_GREATER);
    EXPECT_FLOAT_EQ(s.alpha_ref, 0.01f);
    EXPECT_TRUE(s.alpha_test && s.blend && s.texture);
    EXPECT_FALSE(s.depth_test);
    for (float c : s.colour) EXPECT_FLOAT_EQ(c, 1.0f);
    // The tile rows reseed every frame, before their window is tested.
    EXPECT_EQ(qm_random_state(), 23423429u);
}

TEST_F(LayerBlockState, WalksBlockAfterTheLongTilePathAndBlackFlowers) {
    // 45 s: the long tile path lowers its alpha threshold to 0.81 and switches
    // the depth test on only while it draws; the black flowers bind slot 24.
    const gl_snapshot s = run(45.0, draw_walks_tiles_layers);
    EXPECT_EQ(s.alpha_func, GL_GREATER);
    EXPECT_FLOAT_EQ(s.alpha_ref, 0.01f);
    EXPECT_FALSE(s.depth_test);
    EXPECT_EQ(s.bound, slot_name(24));
    EXPECT_TRUE(s.texture && s.blend && s.alpha_test);
    EXPECT_EQ(s.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(s.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(s.colour[0], 0.0f) << "the flowers end in black";
}

TEST_F(LayerBlockState, ShadedBlockAfterTheDropRows) {
    // 50 s: the drop rows run last (the sinking line waits for 81 s); they
    // switch blending and the depth test off and texturing back on.
    const gl_snapshot s = run(50.0, draw_shaded_walks_layers);
    EXPECT_FALSE(s.blend);
    EXPECT_FALSE(s.depth_test);
    EXPECT_TRUE(s.texture);
    EXPECT_TRUE(s.depth_mask);
    EXPECT_EQ(s.blend_src, GL_SRC_ALPHA) << "the traced line's closing blend function";
    EXPECT_EQ(s.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(LayerBlockState, ShadedBlockAfterTheSinkingLineAndBundles) {
    // 100 s: only the sinking line draws; its film picture is slot 800 on the
    // whole second and 859 just before the next. 90.5 s: the last bundle's
    // last stroke (k = 2) binds slot 30 + 12 mod 5 after the line.
    for (const auto& [t, slot, alpha] : {std::tuple{100.0, 800, 0.1f}, std::tuple{100.999, 859, 0.1f},
                                         std::tuple{90.5, 32, 1.0f}}) {
        const gl_snapshot s = run(t, draw_shaded_walks_layers);
        EXPECT_EQ(s.bound, slot_name(slot)) << t;
        EXPECT_TRUE(s.blend && s.depth_test && s.texture && s.depth_mask) << t;
        EXPECT_EQ(s.blend_src, GL_SRC_ALPHA) << t;
        EXPECT_EQ(s.blend_dst, GL_ONE_MINUS_SRC_ALPHA) << t;
        EXPECT_FLOAT_EQ(s.colour[3], alpha) << t;
    }
}

}  // namespace
