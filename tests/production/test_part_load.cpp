// The part loaded from the stand-in data set on an off-screen context.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "production/part_start.hpp"
#include "render/random.hpp"
#include "render/scene_context.hpp"
#include "render/texture_loader.hpp"
#include "show_harness.hpp"

namespace {

// Width and height of a JPEG file, read by an independent decoder.
bool jpeg_size(const std::string& path, int& w, int& h) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_stdio_src(&d, f);
    jpeg_read_header(&d, TRUE);
    w = static_cast<int>(d.image_width);
    h = static_cast<int>(d.image_height);
    jpeg_destroy_decompress(&d);
    std::fclose(f);
    return true;
}

struct expected_load {
    int slot;
    std::string colour;
};

// The load order of the show's textures, film frames included.
std::vector<expected_load> expected_loads() {
    std::vector<expected_load> loads = {{10, "textures/blob41b.jpg"}, {11, "textures/gradient13.jpg"}};
    for (int k = 1; k <= 60; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "textures/MWSnap%03d.jpg", k);
        loads.push_back({799 + k, name});
    }
    const expected_load rest[] = {
        {222, "textures/aera.jpg"}, {111, "textures/cel1.jpg"}, {350, "textures/thetrees.jpg"},
        {450, "textures/front3.jpg"}, {451, "textures/front.jpg"}, {452, "textures/bicycle.jpg"},
        {50, "textures/gaitisa.jpg"}, {250, "textures/mincer.jpg"}, {150, "textures/man.jpg"},
        {151, "textures/leg.jpg"}, {60, "textures/brysh.jpg"}, {55, "textures/chain.jpg"},
        {910, "textures/fish.jpg"}, {911, "textures/dead_fish.jpg"}, {990, "textures/q-.jpg"},
        {1000, "textures/-.jpg"}, {1001, "textures/-_flow.jpg"}, {1010, "textures/I.jpg"},
        {1011, "textures/I_flow.jpg"}, {1020, "textures/corner1.jpg"}, {1021, "textures/corner1_flow.jpg"},
        {1030, "textures/corner2.jpg"}, {1031, "textures/corner2_flow.jpg"}, {1040, "textures/corner3.jpg"},
        {1041, "textures/corner3_flow.jpg"}, {1050, "textures/corner4.jpg"}, {1051, "textures/corner4_flow.jpg"},
        {2000, "textures/cemetary.jpg"}, {24, "textures/pattern.jpg"}, {224, "textures/patternr.jpg"},
        {25, "textures/pattern4.jpg"}, {30, "textures/pattern5.jpg"}, {31, "textures/pattern6.jpg"},
        {32, "textures/pattern3.jpg"}, {33, "textures/pattern4.jpg"}, {34, "textures/pattern.jpg"},
    };
    loads.insert(loads.end(), std::begin(rest), std::end(rest));
    return loads;
}

TEST(PartLoad, LeavesTheGeneratorWhereItsSeedsAndDrawsPutIt) {
    show_harness* h = show_harness::get();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    // After the strands, the walk reseeds with 4234234 and draws 1000 times;
    // the scatter points draw 2000 more. Nothing else draws during the load.
    std::uint32_t state = 4234234;
    for (int i = 0; i < 3000; ++i) state = state * 214013u + 2531011u;
    EXPECT_EQ(h->random_state_after_load(), state);
}

TEST(PartLoad, EveryTextureInItsSlotAtItsFilesSize) {
    show_harness* h = show_harness::get();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    const auto loads = expected_loads();
    ASSERT_EQ(loads.size(), 98u);
    ASSERT_EQ(g_asset_list.size(), 98u);
    for (std::size_t i = 0; i < loads.size(); ++i) {
        const asset_record& record = g_asset_list[i];
        EXPECT_EQ(record.name, loads[i].colour) << i;
        EXPECT_EQ(record.slot, loads[i].slot) << i;
        int w = 0, hgt = 0;
        ASSERT_TRUE(jpeg_size(loads[i].colour, w, hgt)) << loads[i].colour;
        EXPECT_EQ(record.width, w) << loads[i].colour;
        EXPECT_EQ(record.height, hgt) << loads[i].colour;

        const GLuint name = g_scene_context.texture_names[loads[i].slot];
        ASSERT_NE(name, 0u) << loads[i].slot;
        glBindTexture(GL_TEXTURE_2D, name);
        GLint tw = 0, th = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
        EXPECT_EQ(tw, w) << loads[i].colour;
        EXPECT_EQ(th, hgt) << loads[i].colour;
    }
    // Slot 10 clamps to its edges; slot 11 is sampled with nearest filtering.
    GLint wrap = 0, filter = 0;
    glBindTexture(GL_TEXTURE_2D, g_scene_context.texture_names[10]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, g_scene_context.texture_names[11]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    // Slot 12, which a layer binds, is never loaded.
    EXPECT_EQ(g_scene_context.texture_names[12], 0u);
}

TEST(PartLoad, DisplayListsAndProceduralData) {
    show_harness* h = show_harness::get();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    EXPECT_TRUE(glIsList(100));
    EXPECT_TRUE(glIsList(2000));
    for (int id = 1001; id <= 1032; ++id) EXPECT_TRUE(glIsList(id)) << id;
    const part_start& part = h->part();
    for (int i = 0; i < 200; ++i) EXPECT_GE(part.strand_paths[i].points.size(), 150u);
    EXPECT_TRUE(part.strand_paths[200].points.empty());
    EXPECT_GE(part.walk_path.points.size(), 1000u);
    EXPECT_EQ(part.option_values[23], 21);
}

}  // namespace
