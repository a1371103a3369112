// The texture loaders on a real GL context, with JPEG files the tests write.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gl_test_window.hpp"
#include "render/fatal_exit.hpp"
#include "render/scene_context.hpp"
#include "render/texture_loader.hpp"

namespace {

namespace fs = std::filesystem;

struct run_ended {
    int code;
};
void throwing_teardown(int code) { throw run_ended{code}; }

// Writes a baseline JPEG of w x h pixels (3 components, or 1 for grey) at
// quality 100 with no chroma subsampling, so flat colours survive closely.
void write_jpeg(const fs::path& path, int w, int h, int components,
                const std::vector<std::uint8_t>& pixels) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_stdio_dest(&c, f);
    c.image_width = w;
    c.image_height = h;
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&pixels[static_cast<std::size_t>(c.next_scanline) * w * components]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

using rgb = std::array<std::uint8_t, 3>;

// Top half one colour, bottom half another; a grey image takes the red.
std::vector<std::uint8_t> two_bands(int w, int h, rgb top, rgb bottom, int components) {
    std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * h * components);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * components; ++x)
            p[static_cast<std::size_t>(y) * w * components + x] =
                (y < h / 2 ? top : bottom)[x % components];
    return p;
}

// A texel against the colour written, within the JPEG round trip's error;
// every channel differs from the others, so a swapped channel shows.
void expect_texel(const std::uint8_t* texel, rgb colour, const char* where) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(texel[c], colour[c], 3) << where << " channel " << c;
}

class TextureLoader : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl_test_window::get().context) GTEST_SKIP() << "no GL context";
        gl_test_window::get().make_current();
        dir = fs::temp_directory_path() / ("qm_textures_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        scene = std::make_unique<scene_context>();
        scene->compress_textures = false;
        previous = set_fatal_teardown_hook(&throwing_teardown);
        g_asset_list.clear();
    }
    void TearDown() override {
        set_fatal_teardown_hook(previous);
        fs::remove_all(dir);
    }
    std::string file(const char* name) { return (dir / name).string(); }

    // The texture of a slot, as RGB or RGBA rows bottom first.
    std::vector<std::uint8_t> texture_pixels(int slot, GLenum format, int& w, int& h) {
        glBindTexture(GL_TEXTURE_2D, scene->texture_names[slot]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        const int channels = format == GL_RGBA ? 4 : 3;
        std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h * channels);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    // Runs a load that must end the run; returns its exit code and what it printed.
    template <typename Load>
    int failing_load(Load load, std::string& printed) {
        testing::internal::CaptureStderr();
        int code = 0;
        try {
            load();
        } catch (const run_ended& e) {
            code = e.code;
        }
        printed = testing::internal::GetCapturedStderr();
        return code;
    }

    fs::path dir;
    std::unique_ptr<scene_context> scene;
    fatal_teardown_hook previous = nullptr;
};

TEST_F(TextureLoader, FirstDecodedLineEndsUpInTheLastRow) {
    // An odd width: rows are not multiples of four bytes.
    const rgb top{250, 140, 20}, bottom{10, 90, 200};
    write_jpeg(file("bands.jpg"), 5, 4, 3, two_bands(5, 4, top, bottom, 3));
    scene->load_jpeg_texture(file("bands.jpg").c_str(), 12);
    int w = 0, h = 0;
    const auto pixels = texture_pixels(12, GL_RGB, w, h);
    ASSERT_EQ(w, 5);
    ASSERT_EQ(h, 4);
    expect_texel(&pixels[(3 * 5 + 4) * 3], top, "last row, last pixel");
    expect_texel(&pixels[0], bottom, "first row");
    ASSERT_EQ(g_asset_list.size(), 1u);
    EXPECT_EQ(g_asset_list[0].name, file("bands.jpg"));
    EXPECT_EQ(g_asset_list[0].slot, 12);
    EXPECT_EQ(g_asset_list[0].width, 5);
    EXPECT_EQ(g_asset_list[0].height, 4);
    EXPECT_EQ(g_asset_list[0].kind, 0);
}

TEST_F(TextureLoader, GreyImagesAreSpreadToRgb) {
    write_jpeg(file("grey.jpg"), 8, 8, 1, two_bands(8, 8, {200, 0, 0}, {40, 0, 0}, 1));
    scene->load_jpeg_texture(file("grey.jpg").c_str(), 3);
    int w = 0, h = 0;
    const auto pixels = texture_pixels(3, GL_RGB, w, h);
    ASSERT_EQ(w, 8);
    const std::uint8_t* top = &pixels[(7 * 8) * 3];
    EXPECT_NEAR(top[0], 200, 3);
    EXPECT_EQ(top[0], top[1]);
    EXPECT_EQ(top[0], top[2]);
}

TEST_F(TextureLoader, AlphaComesFromTheAlphaImagesGreenInEveryRow) {
    const rgb top{220, 130, 40}, bottom{30, 100, 180};
    write_jpeg(file("c.jpg"), 4, 4, 3, two_bands(4, 4, top, bottom, 3));
    // Alpha 220 over 60 in green; red and blue hold other values.
    write_jpeg(file("a.jpg"), 4, 4, 3, two_bands(4, 4, {40, 220, 100}, {200, 60, 150}, 3));
    scene->texture_base = 100;
    scene->load_jpeg_texture_with_alpha(file("c.jpg").c_str(), file("a.jpg").c_str(), 7);
    int w = 0, h = 0;
    const auto rgba = texture_pixels(107, GL_RGBA, w, h);
    ASSERT_EQ(w, 4);
    // Bottom-first rows: rows 0 and 1 hold the picture's bottom half; no row
    // is left transparent.
    for (int p = 0; p < 16; ++p) {
        const int row = p / 4;
        const std::string where = "row " + std::to_string(row) + " pixel " + std::to_string(p % 4);
        expect_texel(&rgba[p * 4], row < 2 ? bottom : top, where.c_str());
        EXPECT_NEAR(rgba[p * 4 + 3], row < 2 ? 60 : 220, 3) << where;
    }
    ASSERT_EQ(g_asset_list.size(), 1u);
    EXPECT_EQ(g_asset_list[0].name, file("c.jpg"));
}

TEST_F(TextureLoader, MismatchedAlphaImageIsRefusedByName) {
    write_jpeg(file("c.jpg"), 8, 8, 3, two_bands(8, 8, {250, 250, 250}, {250, 250, 250}, 3));
    write_jpeg(file("small.jpg"), 4, 4, 3, two_bands(4, 4, {255, 255, 255}, {128, 128, 128}, 3));
    std::string printed;
    const int code = failing_load([&] {
        scene->load_jpeg_texture_with_alpha(file("c.jpg").c_str(), file("small.jpg").c_str(), 7);
    }, printed);
    EXPECT_NE(code, 0);
    EXPECT_NE(printed.find("[Jpg !] " + file("small.jpg")), std::string::npos) << printed;
}

TEST_F(TextureLoader, MissingAndBrokenFilesEndTheRunNamingTheFile) {
    std::string printed;
    int code = failing_load([&] { scene->load_jpeg_texture(file("none.jpg").c_str(), 1); }, printed);
    EXPECT_NE(code, 0);
    EXPECT_NE(printed.find("[Jpg] " + file("none.jpg")), std::string::npos) << printed;

    {
        std::FILE* f = std::fopen(file("broken.jpg").c_str(), "wb");
        std::fputs("not a picture at all", f);
        std::fclose(f);
    }
    code = failing_load([&] { scene->load_jpeg_texture(file("broken.jpg").c_str(), 1); }, printed);
    EXPECT_NE(code, 0);
    EXPECT_NE(printed.find("[Jpg !] " + file("broken.jpg")), std::string::npos) << printed;

    write_jpeg(file("c.jpg"), 4, 4, 3, two_bands(4, 4, {250, 250, 250}, {250, 250, 250}, 3));
    code = failing_load([&] {
        scene->load_jpeg_texture_with_alpha(file("c.jpg").c_str(), file("none.jpg").c_str(), 1);
    }, printed);
    EXPECT_NE(code, 0);
    EXPECT_NE(printed.find("[Jpg !] " + file("none.jpg")), std::string::npos) << printed;

    // A file cut short part way through its picture.
    write_jpeg(file("whole.jpg"), 64, 64, 3, two_bands(64, 64, {250, 250, 250}, {5, 5, 5}, 3));
    fs::copy_file(file("whole.jpg"), file("cut.jpg"));
    fs::resize_file(file("cut.jpg"), fs::file_size(file("whole.jpg")) / 2);
    code = failing_load([&] { scene->load_jpeg_texture(file("cut.jpg").c_str(), 1); }, printed);
    EXPECT_NE(code, 0);
    EXPECT_NE(printed.find(file("cut.jpg")), std::string::npos) << printed;
}

TEST_F(TextureLoader, PlaceholderReplacesAMissingFileSilently) {
    scene->placeholder_textures = true;
    testing::internal::CaptureStderr();
    scene->load_jpeg_texture(file("none.jpg").c_str(), 4);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(g_asset_list.empty());
    int w = 0, h = 0;
    const auto pixels = texture_pixels(4, GL_RGB, w, h);
    ASSERT_EQ(w, 8);
    ASSERT_EQ(h, 8);
    for (int i = 0; i < 192; ++i) {
        if (i < 8 || i > 184 || i % 8 == 0)
            EXPECT_EQ(pixels[i], 255) << i;
        else
            EXPECT_TRUE(pixels[i] >= 50 && pixels[i] < 250) << i;
    }
}

}  // namespace
