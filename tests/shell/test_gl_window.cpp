#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/run_settings.hpp"
#include "platform/window.hpp"
#include "shell/gl_window.hpp"
#include "shell/message_loop.hpp"
#include "shell/settings.hpp"

const int k_build_multisample_samples = 0;

namespace {

// Messages print: on a desktop a box would wait for a person.
const bool g_messages_print = setenv("QUILLMERE_MESSAGES", "stderr", 0) == 0;

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

// The show window as create_gl_window makes it, without the show's data.
bool make_plain_gl_window() {
    if (!platform::register_window_class("OpenGL", window_proc)) return false;
    g_hwnd = platform::create_window("OpenGL", "t", 50, 50, 64, 64, false);
    g_hdc = platform::get_device(g_hwnd);
    const int format = platform::choose_pixel_format(g_hdc, plain_pixel_format());
    if (!format || !platform::set_pixel_format(g_hdc, format)) return false;
    g_hrc = platform::create_context(g_hdc);
    return g_hrc && platform::make_current(g_hdc, g_hrc);
}

TEST(KillGlWindow, ReportsTheReleasesThatFail) {
    namespace hooks = platform::test_hooks;
    if (!make_plain_gl_window()) {
        kill_gl_window();
        GTEST_SKIP() << "no GL window";
    }
    testing::internal::CaptureStderr();
    kill_gl_window();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    ASSERT_TRUE(make_plain_gl_window());
    const platform::gl_context* context = g_hrc;
    hooks::fail_next(hooks::call::release_context);
    hooks::fail_next(hooks::call::delete_context);
    testing::internal::CaptureStderr();
    kill_gl_window();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[SHUTDOWN ERROR] Release Of DC And RC Failed.\n"
              "[SHUTDOWN ERROR] Release Rendering Context Failed.\n");
    EXPECT_EQ(g_hrc, nullptr);
    EXPECT_EQ(g_hwnd, nullptr);
    EXPECT_EQ(platform::current_context(), nullptr);
    // A handle already deleted is refused, not freed twice.
    EXPECT_FALSE(platform::delete_context(const_cast<platform::gl_context*>(context)));
}

// Under the test X server only (tests/shell/CMakeLists.txt runs them there,
// once with each answer to the question); its one display mode is offered.
class DisplaySwitch : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("QUILLMERE_DISPLAY_SWITCH_TEST")) GTEST_SKIP() << "needs the test X server";
        ASSERT_TRUE(platform::enum_display_settings(0, width_, height_));
    }
    int width_ = 0, height_ = 0;
};

TEST_F(DisplaySwitch, AnOfferedModeIsSwitchedTo) {
    ASSERT_TRUE(platform::register_window_class("switch", platform::default_window_procedure));
    ASSERT_TRUE(platform::change_display_settings(width_, height_, 32));
    platform::window* w = platform::create_window("switch", "t", 0, 0, width_, height_, true);
    platform::device* d = platform::get_device(w);
    ASSERT_TRUE(platform::set_pixel_format(d, platform::choose_pixel_format(d, plain_pixel_format())));
    EXPECT_TRUE(platform::show_window(w)) << platform::last_error();
    platform::restore_display_settings();
    platform::destroy_window(w);
    platform::unregister_window_class("switch");
}

TEST_F(DisplaySwitch, ARefusedSwitchAsksAndTakesTheAnswer) {
    platform::test_hooks::fail_next(platform::test_hooks::call::display_switch);
    testing::internal::CaptureStderr();
    const bool made = create_gl_window("t", width_, height_, 32, true);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("Use Windowed Mode Instead?"), std::string::npos) << printed;
    if (platform::settings().message_answer_yes) {
        // The show goes on in a window at the windowed place.
        ASSERT_TRUE(made) << printed;
        EXPECT_FALSE(g_fullscreen);
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        int x = 0, y = 0;
        SDL_GetWindowPosition(window, &x, &y);
        EXPECT_EQ(x, 50);
        EXPECT_EQ(y, 50);
        EXPECT_FALSE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN);
        kill_gl_window();
    } else {
        EXPECT_FALSE(made);
        EXPECT_NE(printed.find("[ERROR] Program Will Now Close."), std::string::npos) << printed;
        EXPECT_EQ(g_hwnd, nullptr);
        EXPECT_EQ(g_hrc, nullptr);
        // Nothing is left behind: the class registers again.
        EXPECT_TRUE(platform::register_window_class("OpenGL", window_proc));
        platform::unregister_window_class("OpenGL");
    }
}

}  // namespace
