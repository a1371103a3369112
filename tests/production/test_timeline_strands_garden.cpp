// The late strand, fish, flower and garden layers (62 to 176 s) on the real
// part: the GL state and generator state they leave behind, and that their
// frames repeat.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "production/part_start.hpp"
#include "render/random.hpp"
#include "render/scene_context.hpp"
#include "show_harness.hpp"

namespace {

// The GL state and generator state left after the whole timeline is drawn
// at one part time. No layer after these blocks is open at the times the
// tests use, so this is the state the blocks end with (the timeline's
// closing only switches the depth test off and pops its matrix).
struct end_state {
    GLint blend_src = 0, blend_dst = 0, bound_texture = 0;
    GLboolean blend = GL_FALSE, texture_2d = GL_FALSE, alpha_test = GL_FALSE, depth_mask = GL_FALSE;
    GLfloat colour[4] = {};
    std::uint32_t random_state = 0;
};

end_state timeline_end_state(show_harness& h, double t) {
    h.render_at(t);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushMatrix();
    h.part().draw_timeline(&g_scene_context);
    end_state s;
    s.random_state = qm_random_state();
    glGetIntegerv(GL_BLEND_SRC, &s.blend_src);
    glGetIntegerv(GL_BLEND_DST, &s.blend_dst);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.bound_texture);
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depth_mask);
    s.blend = glIsEnabled(GL_BLEND);
    s.texture_2d = glIsEnabled(GL_TEXTURE_2D);
    s.alpha_test = glIsEnabled(GL_ALPHA_TEST);
    glPopMatrix();
    glPopAttrib();
    return s;
}

// The generator state `draws` draws after srand(seed).
std::uint32_t state_after(std::uint32_t seed, int draws) {
    qm_srand(seed);
    for (int i = 0; i < draws; ++i) qm_rand();
    return qm_random_state();
}

GLint slot_texture(show_harness& h, int slot) {
    return static_cast<GLint>(g_scene_context.texture_names[h.part().texture_base + slot]);
}

class StrandsAndGarden : public testing::Test {
protected:
    void SetUp() override {
        h = show_harness::get();
        if (!h) GTEST_SKIP() << "no GL context or data set";
    }
    show_harness* h = nullptr;
};

// Layers 38 and 39 draw last at t = 100: depth test off and slot 24 bound
// (the flowers); the strands of layer 36 restored the depth mask, layer 35
// switched its alpha test off again.
TEST_F(StrandsAndGarden, FlowerLayersLeaveSlot24AndDepthWrites) {
    const end_state s = timeline_end_state(*h, 100.0);
    EXPECT_EQ(s.bound_texture, slot_texture(*h, 24));
    EXPECT_TRUE(s.texture_2d);
    EXPECT_TRUE(s.depth_mask);
    EXPECT_FALSE(s.alpha_test);
}

// The generator after layer 39 runs on from its own seed through 22 draws
// per flower drawn; its small flowers leave at 106.5 and 107 s.
TEST_F(StrandsAndGarden, FlowerLayersEndTheGeneratorAfterTheirFlowers) {
    EXPECT_EQ(timeline_end_state(*h, 100.0).random_state, state_after(625631u, 4 * 22));
    EXPECT_EQ(timeline_end_state(*h, 106.7).random_state, state_after(625631u, 3 * 22));
    EXPECT_EQ(timeline_end_state(*h, 107.5).random_state, state_after(625631u, 2 * 22));
}

// Between 130 and 140 s only the film ribbon of this block is open: it ends
// with the blend function (SRC_ALPHA, ONE_MINUS_SRC_ALPHA) on and the film
// frame of 60 t bound.
TEST_F(StrandsAndGarden, FilmRibbonLeavesAlphaBlendAndItsFrame) {
    const double t = 135.25;
    const end_state s = timeline_end_state(*h, t);
    EXPECT_EQ(s.blend_src, GL_SRC_ALPHA);
    EXPECT_EQ(s.blend_dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(s.blend);
    EXPECT_TRUE(s.texture_2d);
    const int frame = static_cast<int>(std::trunc(60.0 * t)) % 60;
    ASSERT_NE(slot_texture(*h, 800 + frame), slot_texture(*h, 24));
    EXPECT_EQ(s.bound_texture, slot_texture(*h, 800 + frame));
}

// The garden ends with alpha blending on, 2D texturing and the alpha test
// off and the colour black, whether only the short wall is drawn (145 s) or
// nearly everything (155 s).
TEST_F(StrandsAndGarden, GardenLeavesBlackAlphaBlendedUntextured) {
    for (double t : {145.0, 155.0}) {
        const end_state s = timeline_end_state(*h, t);
        EXPECT_TRUE(s.blend) << t;
        EXPECT_EQ(s.blend_src, GL_SRC_ALPHA) << t;
        EXPECT_EQ(s.blend_dst, GL_ONE_MINUS_SRC_ALPHA) << t;
        EXPECT_FALSE(s.texture_2d) << t;
        EXPECT_FALSE(s.alpha_test) << t;
        EXPECT_EQ(s.colour[0], 0.0f) << t;
        EXPECT_EQ(s.colour[1], 0.0f) << t;
        EXPECT_EQ(s.colour[2], 0.0f) << t;
    }
}

// The long walls reseed before their window test: outside it the generator
// stays at the seed; inside, the second and third walls take four direct
// draws each.
TEST_F(StrandsAndGarden, LongWallsSpendEightDrawsFromTheirSeed) {
    EXPECT_EQ(timeline_end_state(*h, 145.0).random_state, state_after(421242645u, 0));
    EXPECT_EQ(timeline_end_state(*h, 155.0).random_state, state_after(421242645u, 8));
}

// Frames inside these windows repeat, whatever was drawn in between: the
// walks, the film path, the blob swarm's per-blob seeds and the walls'
// overwrites are all fixed.
TEST_F(StrandsAndGarden, SameTimeSamePixels) {
    for (double t : {72.0, 100.0, 112.0, 140.5, 155.0, 161.0, 170.5}) {
        h->render_at(t);
        const auto first = h->pixels();
        h->render_at(t + 11.3);
        h->render_at(t);
        EXPECT_TRUE(first == h->pixels()) << "t = " << t;
    }
}

}  // namespace
