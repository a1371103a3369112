// The phase-1 layers and the first phase-2 block (rows, strips, flakes,
// boards, wire figures and stalks): the GL and generator state each block
// leaves and the collage's tile rows.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "production/layers_phase1.hpp"
#include "production/layers_rows_strips.hpp"
#include "production/part_start.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/render_pass.hpp"
#include "render/scene_context.hpp"
#include "render/texture_slots.hpp"
#include "show_harness.hpp"

namespace {

// The generator state after seeding with seed and drawing n numbers.
std::uint32_t state_after(std::uint32_t seed, int n) {
    const std::uint32_t saved = qm_random_state();
    qm_srand(seed);
    for (int i = 0; i < n; ++i) qm_rand();
    const std::uint32_t state = qm_random_state();
    qm_srand(saved);
    return state;
}

// The GL state a layer block can leave behind.
struct gl_snapshot {
    bool blend, texture, depth_test, alpha_test;
    GLint blend_src, blend_dst, bound;
    GLboolean depth_mask;
    GLfloat colour[4];
    GLfloat point_size;
};

gl_snapshot snapshot() {
    gl_snapshot s{};
    s.blend = glIsEnabled(GL_BLEND);
    s.texture = glIsEnabled(GL_TEXTURE_2D);
    s.depth_test = glIsEnabled(GL_DEPTH_TEST);
    s.alpha_test = glIsEnabled(GL_ALPHA_TEST);
    glGetIntegerv(GL_BLEND_SRC, &s.blend_src);
    glGetIntegerv(GL_BLEND_DST, &s.blend_dst);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.bound);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depth_mask);
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    glGetFloatv(GL_POINT_SIZE, &s.point_size);
    return s;
}

GLint slot_name(int slot) { return static_cast<GLint>(g_scene_context.texture_name_of_slot(slot)); }

class LayerBlocks : public ::testing::Test {
protected:
    void SetUp() override {
        h = show_harness::get();
        if (!h) GTEST_SKIP() << "no GL context or data set";
        h->render_at(0.0);  // places a camera and leaves the pass's projection
        h->gl_error();
        before = h->depths();
    }
    void TearDown() override {
        if (!h) return;
        EXPECT_EQ(h->gl_error(), 0u);
        EXPECT_EQ(h->depths(), before);
        glDepthMask(GL_TRUE);
        glPointSize(1.0f);
    }

    // The state the frame sets before phase 1, then the two phase-1 blocks.
    void draw_phase1(double t) {
        h->part().time = t;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        g_scene_context.apply_camera();
        reset_gl_state();
        glDisable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_ALWAYS);
        glPushMatrix();
        qm_srand(42342342u);
        timeline_layers::phase1_first_layer(h->part(), &g_scene_context);
        glPopMatrix();
        timeline_layers::phase1_layers(h->part(), &g_scene_context);
    }

    // The state phase 2 starts with, then the rows-and-strips block.
    void draw_rows(double t) {
        h->part().time = t;
        glDisable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        g_scene_context.apply_camera();
        reset_gl_state();
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        glEnable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        bind_texture_index(&g_scene_context, 24);
        qm_srand(4242424242u);
        timeline_layers::rows_strips_and_figures(h->part(), &g_scene_context);
    }

    show_harness* h = nullptr;
    stack_depths before;
};

TEST_F(LayerBlocks, FallingShapesDrawFromTheFrameSeedAndLeaveTheirBlendFunction) {
    draw_phase1(10.0);
    // 180 shapes of seven unit draws and one list choice each.
    EXPECT_EQ(qm_random_state(), state_after(42342342u, 180 * 8));
    const gl_snapshot s = snapshot();
    EXPECT_FALSE(s.blend);
    EXPECT_EQ(s.blend_src, GL_ZERO);
    EXPECT_EQ(s.blend_dst, GL_SRC_COLOR);
    EXPECT_FALSE(s.texture);
    EXPECT_TRUE(s.depth_test);

    draw_phase1(20.03);  // the bound itself is outside
    EXPECT_EQ(qm_random_state(), state_after(42342342u, 0));
}

TEST_F(LayerBlocks, NothingInPhaseOneBetweenTheBarAndTheCollage) {
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto cleared = h->pixels();
    for (double t : {95.8, 100.0, 119.0}) {
        draw_phase1(t);
        EXPECT_EQ(qm_random_state(), state_after(42342342u, 0)) << t;
        glFinish();
        EXPECT_TRUE(cleared == h->pixels()) << t;
    }
}

TEST_F(LayerBlocks, CollageLeavesAlphaBlendingUntexturedForTheLateCards) {
    for (double t : {119.01, 130.0, 152.0, 160.0, 200.0}) {
        draw_phase1(t);
        const gl_snapshot s = snapshot();
        EXPECT_TRUE(s.blend) << t;
        EXPECT_EQ(s.blend_src, GL_SRC_ALPHA) << t;
        EXPECT_EQ(s.blend_dst, GL_ONE_MINUS_SRC_ALPHA) << t;
        EXPECT_FALSE(s.texture) << t;
        EXPECT_FALSE(s.depth_test) << t;
        EXPECT_FALSE(s.alpha_test) << t;
        EXPECT_EQ(s.bound, slot_name(50)) << t;
        EXPECT_EQ(s.colour[0], 1.0f) << t;  // white branches, white cards
    }
}

TEST_F(LayerBlocks, TileRowsStraightenOnlyTurnsNearTheirStart) {
    const std::string literal = "-l--r--r-ll--r--r---ll---r---r--lrlr-";
    qm_srand(424242445u);
    EXPECT_EQ(timeline_layers::collage_tile_row(0), literal);
    EXPECT_EQ(qm_random_state(), state_after(424242445u, 0));
    int changed_rows = 0;
    for (int k = 1; k < 5; ++k) {
        const std::string row = timeline_layers::collage_tile_row(k);
        EXPECT_EQ(qm_random_state(), state_after(424242445u, 4 * k));
        ASSERT_EQ(row.size(), literal.size());
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (row[i] == literal[i]) continue;
            EXPECT_TRUE(i >= 1 && i <= 20) << "row " << k << " index " << i;
            EXPECT_EQ(row[i], '-');
            EXPECT_NE(literal[i], '-');
        }
        if (row != literal) ++changed_rows;
    }
    EXPECT_GT(changed_rows, 0);
}

TEST_F(LayerBlocks, StripsAndBoardsLeaveTheInverseMultiply) {
    draw_rows(60.0);
    // Thin strips: 30 rows of seven draws; plain strips: 10 rows of five.
    EXPECT_EQ(qm_random_state(), state_after(424444u, 30 * 7 + 10 * 5));
    const gl_snapshot s = snapshot();
    EXPECT_TRUE(s.blend);
    EXPECT_EQ(s.blend_src, GL_ZERO);
    EXPECT_EQ(s.blend_dst, GL_ONE_MINUS_SRC_COLOR);
    EXPECT_TRUE(s.texture);
    EXPECT_EQ(s.bound, slot_name(2000));
    EXPECT_EQ(s.colour[0], 1.0f);
    EXPECT_EQ(s.colour[1], 1.0f);

    draw_rows(93.0);  // plain strips closed, boards still open
    EXPECT_EQ(qm_random_state(), state_after(424444u, 30 * 7));
}

TEST_F(LayerBlocks, FlakesLeaveDepthOffPointSizeAndSlotTen) {
    draw_rows(30.0);
    EXPECT_EQ(qm_random_state(), state_after(4234234u, 2000 * 6));
    const gl_snapshot s = snapshot();
    EXPECT_FALSE(s.depth_test);
    EXPECT_TRUE(s.depth_mask);
    EXPECT_FALSE(s.blend);
    EXPECT_EQ(s.blend_src, GL_ONE);
    EXPECT_EQ(s.blend_dst, GL_ONE);
    EXPECT_FALSE(s.texture);
    EXPECT_EQ(s.bound, slot_name(10));
    EXPECT_EQ(s.point_size, 12.0f);

    // The flakes thin out after 37 s: two left at 40 s, none a little later.
    draw_rows(40.0);
    EXPECT_EQ(qm_random_state(), state_after(4234234u, 2 * 6));
    draw_rows(40.5);
    EXPECT_EQ(qm_random_state(), state_after(4234234u, 0));
}

TEST_F(LayerBlocks, FiguresAndStalksRestoreDepthWrites) {
    draw_rows(10.0);
    // Every stalk: speed, a discarded draw and its offset along the walk.
    EXPECT_EQ(qm_random_state(), state_after(234234u, 200 * 3));
    const gl_snapshot s = snapshot();
    EXPECT_FALSE(s.depth_test);
    EXPECT_TRUE(s.depth_mask);
    EXPECT_FALSE(s.blend);
    EXPECT_FALSE(s.texture);
    EXPECT_EQ(s.bound, slot_name(10));

    draw_rows(0.0);  // figures, but no stalk yet
    EXPECT_EQ(qm_random_state(), state_after(234234u, 0));
    draw_rows(2.0);  // 100 stalks
    EXPECT_EQ(qm_random_state(), state_after(234234u, 100 * 3));
}

TEST_F(LayerBlocks, CelPictureLeavesItsTintAndRowOffsetsKeepTheirLastFrame) {
    draw_rows(165.0);
    // Only the thin strips' seed (ahead of their window) is left of the strips.
    EXPECT_EQ(qm_random_state(), state_after(424444u, 0));
    const gl_snapshot s = snapshot();
    EXPECT_EQ(s.bound, slot_name(111));
    EXPECT_FALSE(s.texture);  // switched off after the thin strips, whether or not they drew
    EXPECT_TRUE(s.blend);
    EXPECT_EQ(s.blend_src, GL_DST_COLOR);
    EXPECT_EQ(s.blend_dst, GL_ZERO);
    EXPECT_NEAR(s.colour[0], 0.2f, 1e-6);
    EXPECT_NEAR(s.colour[1], 0.42f, 1e-6);
    EXPECT_NEAR(s.colour[2], 0.52f, 1e-6);

    draw_rows(130.0);
    const std::vector<double> at_130(g_row_offsets, g_row_offsets + row_offset_count);
    draw_rows(60.0);
    draw_rows(180.0);
    EXPECT_TRUE(std::equal(at_130.begin(), at_130.end(), g_row_offsets));
    draw_rows(131.0);
    EXPECT_FALSE(std::equal(at_130.begin(), at_130.end(), g_row_offsets));
}

}  // namespace
