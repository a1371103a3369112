#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>

#include "shell/gl_window.hpp"

const int k_build_multisample_samples = 0;

namespace {

TEST(ExtensionNames, OnlyWholeNamesCount) {
    EXPECT_TRUE(extension_listed("WGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_TRUE(extension_listed("A WGL_ARB_multisample B", "WGL_ARB_multisample"));
    EXPECT_TRUE(extension_listed("A WGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_FALSE(extension_listed("WGL_ARB_multisampleX", "WGL_ARB_multisample"));
    EXPECT_FALSE(extension_listed("XWGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_FALSE(extension_listed("WGL_ARB_multisample_ext A", "WGL_ARB_multisample"));
    // A false hit first must not hide a real one later in the list.
    EXPECT_TRUE(extension_listed("WGL_ARB_multisampleX WGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_FALSE(extension_listed("", "WGL_ARB_multisample"));
    EXPECT_FALSE(extension_listed(nullptr, "WGL_ARB_multisample"));
}

TEST(PixelFormats, PlainFormatAsksForWhatTheWindowNeeds) {
    const platform::pixel_format f = plain_pixel_format();
    EXPECT_EQ(f.color_bits, 32);
    EXPECT_EQ(f.alpha_bits, 1);
    EXPECT_EQ(f.depth_bits, 16);
    EXPECT_TRUE(f.double_buffer);
    EXPECT_EQ(f.samples, 0);
}

// An off-screen GL context for the projection checks.
class GlContext : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
        window_ = SDL_CreateWindow("t", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window_) context_ = SDL_GL_CreateContext(window_);
    }
    void SetUp() override {
        if (!context_) GTEST_SKIP() << "no GL context";
    }
    static double aspect_of_projection() {
        GLdouble m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        return m[5] / m[0];
    }
    static double fov_of_projection() {
        GLdouble m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        return 2.0 * std::atan(1.0 / m[5]) * 180.0 / M_PI;
    }
    static inline SDL_Window* window_ = nullptr;
    static inline SDL_GLContext context_ = nullptr;
};

TEST_F(GlContext, ResizeSetsViewportAndProjection) {
    resize_gl_scene(1024, 576);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 576);
    EXPECT_NEAR(aspect_of_projection(), 1024.0 / 576.0, 1e-6);
    EXPECT_NEAR(fov_of_projection(), 45.0, 1e-5);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(GlContext, ZeroHeightCountsAsOne) {
    resize_gl_scene(800, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);
    EXPECT_NEAR(aspect_of_projection(), 800.0, 1e-3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
