// The last layer blocks of the timeline run on their own: the GL state and
// the generator state each leaves behind, the figure paths it rebuilds and
// the matrix stack it must give back.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>

#include "production/effects.hpp"
#include "production/part_start.hpp"
#include "render/random.hpp"
#include "render/scene_context.hpp"
#include "show_harness.hpp"

namespace {

using block = void (part_start::*)(scene_context*);

constexpr std::uint32_t entry_seed = 777u;

// What a block left behind.
struct block_end {
    bool blend, texture, depth_test, alpha_test, depth_mask;
    GLint blend_src, blend_dst, alpha_func;
    GLfloat alpha_ref;
    GLuint texture_name;
    std::array<GLfloat, 4> colour;
    int modelview_depth_change;
    std::uint32_t random_state;
};

// Runs one block at part time t from the state phase 2 opens with, and
// restores every GL state afterwards.
block_end run_block(show_harness& h, block member, double t) {
    part_start& part = h.part();
    part.time = t;
    part.fast_clock = t * 7.0 / 6.0;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    qm_srand(entry_seed);
    GLint depth_before = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);

    (part.*member)(&g_scene_context);

    block_end e{};
    e.random_state = qm_random_state();
    e.blend = glIsEnabled(GL_BLEND);
    e.texture = glIsEnabled(GL_TEXTURE_2D);
    e.depth_test = glIsEnabled(GL_DEPTH_TEST);
    e.alpha_test = glIsEnabled(GL_ALPHA_TEST);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    e.depth_mask = mask == GL_TRUE;
    glGetIntegerv(GL_BLEND_SRC, &e.blend_src);
    glGetIntegerv(GL_BLEND_DST, &e.blend_dst);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &e.alpha_func);
    glGetFloatv(GL_ALPHA_TEST_REF, &e.alpha_ref);
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    e.texture_name = static_cast<GLuint>(name);
    glGetFloatv(GL_CURRENT_COLOR, e.colour.data());
    GLint depth_after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
    e.modelview_depth_change = depth_after - depth_before;

    while (depth_after-- > depth_before) glPopMatrix();
    glPopMatrix();
    glPopAttrib();
    return e;
}

GLuint slot_name(int slot) { return g_scene_context.texture_name_of_slot(slot); }

// The generator state after `draws` draws from `seed`.
std::uint32_t state_after(std::uint32_t seed, int draws) {
    qm_srand(seed);
    for (int i = 0; i < draws; ++i) qm_rand();
    return qm_random_state();
}

class LateLayerBlocks : public ::testing::Test {
protected:
    void SetUp() override {
        h = show_harness::get();
        if (!h) GTEST_SKIP() << "no GL context or data set";
        h->gl_error();
    }
    void TearDown() override {
        if (h) {
            EXPECT_EQ(h->gl_error(), 0u);
        }
    }
    show_harness* h = nullptr;
};

TEST_F(LateLayerBlocks, FigurePathsAreRebuiltWithTheirBends) {
    for (double t : {170.5, 190.0}) {
        const block_end e = run_block(*h, &part_start::draw_figure_paths_flyers_swings_and_cards, t);
        // Both paths are seeded with the same number and nothing in the block draws.
        EXPECT_EQ(e.random_state, 423424242u) << t;
        const spline_path& long_path = h->part().figure_paths[0];
        const spline_path& short_path = h->part().figure_paths[1];
        ASSERT_EQ(long_path.count, 159);
        ASSERT_EQ(short_path.count, 130);
        ASSERT_EQ(long_path.points.size(), 159u);
        // 44 steps of 10 straight up, then the bend.
        EXPECT_FLOAT_EQ(long_path.points[43].y, 440.0f);
        EXPECT_NEAR(long_path.points[43].x, 0.0f, 1e-4);
        // After 59 x 3 degrees clockwise the path runs back down, 3 degrees off.
        const vec3& a = long_path.points[157];
        const vec3& b = long_path.points[158];
        EXPECT_NEAR(b.x - a.x, 10.0 * std::sin(3.0 * M_PI / 180.0), 1e-3);
        EXPECT_NEAR(b.y - a.y, -10.0 * std::cos(3.0 * M_PI / 180.0), 1e-3);
        // After 30 x 3 degrees the short path runs along +x.
        const vec3& c = short_path.points[128];
        const vec3& d = short_path.points[129];
        EXPECT_NEAR(d.x - c.x, 10.0, 1e-3);
        EXPECT_NEAR(d.y - c.y, 0.0, 1e-3);
        for (const float w : {long_path.width_at(0), short_path.width_at(129)}) EXPECT_EQ(w, 1.0f);
    }
}

TEST_F(LateLayerBlocks, CompositeLeavesAlphaTestOnTexturingOffAndBlack) {
    // 190 s: the walls of 173 to 201 s are the composite's last drawing.
    const block_end walls = run_block(*h, &part_start::draw_figure_paths_flyers_swings_and_cards, 190.0);
    EXPECT_TRUE(walls.alpha_test);
    EXPECT_EQ(walls.alpha_func, GL_GREATER);
    EXPECT_FLOAT_EQ(walls.alpha_ref, 0.5f);
    EXPECT_FALSE(walls.texture);
    EXPECT_TRUE(walls.blend);
    EXPECT_EQ(walls.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(walls.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(walls.colour, (std::array<GLfloat, 4>{0, 0, 0, 1}));
    const tile_placement last = plan_tile_path(
        "----rr---ll----------l--rr--l----l-rlrlrrlrlr----r--l---").back();
    EXPECT_EQ(walls.texture_name, slot_name(last.slot + 1));
    EXPECT_EQ(walls.modelview_depth_change, 0);

    // 215 s: the hammers switched blending off after the flyers of group A.
    const block_end hammers = run_block(*h, &part_start::draw_figure_paths_flyers_swings_and_cards, 215.0);
    EXPECT_TRUE(hammers.alpha_test);
    EXPECT_FALSE(hammers.texture);
    EXPECT_FALSE(hammers.blend);
    EXPECT_EQ(hammers.colour, (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(hammers.modelview_depth_change, 0);
}

TEST_F(LateLayerBlocks, RedStrandsBlockEndsAsItsLastLayerLeavesIt) {
    // 225 s: the mincer is the last layer drawn.
    const block_end mincer = run_block(*h, &part_start::draw_red_strands_to_sparks, 225.0);
    EXPECT_TRUE(mincer.blend);
    EXPECT_TRUE(mincer.texture);
    EXPECT_TRUE(mincer.depth_mask);
    EXPECT_EQ(mincer.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(mincer.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(mincer.texture_name, slot_name(250));
    EXPECT_EQ(mincer.random_state, entry_seed);

    // 233 s: the film ribbon switched the depth test off, the bar curtain
    // reseeded and bound slot 31 but draws its bars only from 235.5 s.
    const block_end curtain = run_block(*h, &part_start::draw_red_strands_to_sparks, 233.0);
    EXPECT_FALSE(curtain.depth_test);
    EXPECT_FALSE(curtain.texture);
    EXPECT_TRUE(curtain.depth_mask);
    EXPECT_EQ(curtain.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(curtain.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(curtain.texture_name, slot_name(31));
    EXPECT_EQ(curtain.random_state, 3769718578u);

    // 240 s: the sparks end it; 55 bars of 6 draws, 600 sparks of 4 and the
    // star's one draw follow the curtain's seed.
    const block_end sparks = run_block(*h, &part_start::draw_red_strands_to_sparks, 240.0);
    EXPECT_FALSE(sparks.blend);
    EXPECT_FALSE(sparks.texture);
    EXPECT_FALSE(sparks.depth_test);
    EXPECT_TRUE(sparks.depth_mask);
    EXPECT_EQ(sparks.blend_src, GL_ONE);
    EXPECT_EQ(sparks.blend_dst, GL_ONE);
    EXPECT_EQ(sparks.texture_name, slot_name(10));
    EXPECT_EQ(sparks.random_state, state_after(3769718578u, 55 * 6 + 600 * 4 + 1));
    EXPECT_EQ(sparks.modelview_depth_change, 0);
}

TEST_F(LateLayerBlocks, FinaleBalancesItsGroupMatrixAndDraws) {
    for (double t : {230.5, 232.9, 233.0, 233.01, 237.0, 242.5, 250.5, 258.0, 261.6, 262.0}) {
        const block_end e = run_block(*h, &part_start::draw_finale, t);
        EXPECT_EQ(e.modelview_depth_change, 0) << t;
    }
    // Before the bushes nothing in the finale touches the generator.
    EXPECT_EQ(run_block(*h, &part_start::draw_finale, 235.5).random_state, entry_seed);
    // Its film ribbon: two draws per step and a third from step 51 on.
    const block_end film = run_block(*h, &part_start::draw_finale, 250.0);
    EXPECT_EQ(film.random_state, state_after(423423424u, 800 * 2 + 749));
    EXPECT_TRUE(film.blend);
    EXPECT_TRUE(film.texture);
    EXPECT_EQ(film.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(film.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(film.texture_name, slot_name(222));
}

// The finale's cards switch texturing off before their list, whatever state
// they find. Entered with texturing on, a white texture of zero alpha bound
// and alpha blending, they still come out black; textured, they would take
// the texture's alpha and leave the white frame as it was.
TEST_F(LateLayerBlocks, FinaleCardsAreBlackWhenEnteredWithTexturingOn) {
    h->render_at(245.0);  // a camera with the finale's cards in view
    GLuint clear_white = 0;
    glGenTextures(1, &clear_white);
    glBindTexture(GL_TEXTURE_2D, clear_white);
    const std::array<std::uint8_t, 16> texels = {255, 255, 255, 0, 255, 255, 255, 0,
                                                 255, 255, 255, 0, 255, 255, 255, 0};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(75.0, double(show_harness::width) / show_harness::height, g_scene_context.near_plane,
                   g_scene_context.far_plane);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    g_scene_context.apply_camera();
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    h->part().time = 234.0;  // three cards and nothing else of the finale
    h->part().draw_finale(&g_scene_context);
    glFinish();
    const auto frame = h->pixels();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    glDeleteTextures(1, &clear_white);

    int black = 0, white = 0;
    for (std::size_t i = 0; i < frame.size(); i += 4) {
        const int sum = frame[i] + frame[i + 1] + frame[i + 2];
        black += sum == 0;
        white += sum == 3 * 255;
    }
    EXPECT_GT(black, 5000) << "the cards cover part of the view";
    EXPECT_EQ(black + white, show_harness::width * show_harness::height) << "nothing but card or backdrop";
}

TEST_F(LateLayerBlocks, LastFilmRibbonBindsTheFrameOfItsSixtiethOfASecond) {
    const block_end e = run_block(*h, &part_start::draw_last_film_ribbon_and_curtains, 240.3);   // trunc(14418) mod 60 = 18
    EXPECT_EQ(e.texture_name, slot_name(818));
    EXPECT_EQ(e.random_state, 423423424u);
    EXPECT_TRUE(e.blend);
    EXPECT_EQ(e.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(e.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(e.modelview_depth_change, 0);
}

TEST_F(LateLayerBlocks, CurtainsLeaveBlendingTexturingAndDepthTestOff) {
    const block_end e = run_block(*h, &part_start::draw_last_film_ribbon_and_curtains, 5.0);
    EXPECT_FALSE(e.blend);
    EXPECT_FALSE(e.texture);
    EXPECT_FALSE(e.depth_test);
    EXPECT_EQ(e.colour, (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(e.modelview_depth_change, 0);
    EXPECT_EQ(e.random_state, entry_seed);
}

}  // namespace
