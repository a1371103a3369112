#include "shell/gl_window.hpp"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstring>

#include "platform/shader_runtime.hpp"
#include "platform/system.hpp"
#include "render/scene_context.hpp"
#include "shell/demo.hpp"
#include "shell/dev_instruments.hpp"
#include "shell/message_loop.hpp"
#include "shell/setup.hpp"

platform::window* g_hwnd = nullptr;
platform::device* g_hdc = nullptr;
platform::gl_context* g_hrc = nullptr;
bool g_multisample_available = false;
int g_multisample_pixel_format = 0;

namespace {

constexpr const char* window_class = "OpenGL";

void creation_error(const char* text) {
    platform::message_box("ERROR", text, platform::message_buttons::ok,
                          platform::message_icon::exclamation);
}

bool fail(const char* text) {
    kill_gl_window();
    creation_error(text);
    return false;
}

// Asked when the display cannot take the full-screen mode: true goes on windowed.
bool windowed_instead() {
    const auto answer = platform::message_box(
        "Orvane GL ;-)",
        "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
        platform::message_buttons::yes_no, platform::message_icon::exclamation);
    return answer == platform::message_answer::yes;
}

void program_will_close() {
    platform::message_box("ERROR", "Program Will Now Close.", platform::message_buttons::ok,
                          platform::message_icon::stop);
}

void shutdown_error(const char* text) {
    platform::message_box("SHUTDOWN ERROR", text, platform::message_buttons::ok,
                          platform::message_icon::information);
}

void report_renderer() {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    std::printf("GL renderer: %s; version: %s; samples: %d\n", renderer ? renderer : "?",
                version ? version : "?", platform::samples_of_current_surface());
    std::fflush(stdout);
}

}  // namespace

platform::pixel_format plain_pixel_format() {
    platform::pixel_format f;
    f.color_bits = 32;
    f.alpha_bits = 1;
    f.depth_bits = 16;
    f.stencil_bits = 0;
    f.double_buffer = true;
    return f;
}

bool create_gl_window(const std::string& caption, int width, int height, int colour_bits,
                      bool fullscreen) {
    g_fullscreen = fullscreen;
    if (!platform::register_window_class(window_class, window_proc)) {
        creation_error("Failed To Register The Window Class.");
        return false;
    }

    if (g_fullscreen) {
        if (!platform::change_display_settings(width, height, colour_bits)) {
            if (windowed_instead()) {
                g_fullscreen = false;
            } else {
                program_will_close();
                platform::unregister_window_class(window_class);
                return false;
            }
        } else {
            platform::show_cursor(false);
        }
    }

    int window_width = width, window_height = height;
    platform::adjust_window_rect(window_width, window_height, g_fullscreen);
    const int x = g_fullscreen ? 0 : 50;
    const int y = g_fullscreen ? 0 : 50;
    const platform::pixel_format plain = plain_pixel_format();

    g_hwnd = platform::create_window(window_class, caption, x, y, window_width, window_height,
                                     g_fullscreen);
    if (!g_hwnd) return fail("Window Creation Error.");
    g_hdc = platform::get_device(g_hwnd);
    if (!g_hdc) return fail("Can't Create A GL Device Context.");
    const int format = platform::choose_pixel_format(g_hdc, plain);
    if (!format) return fail("Can't Find A Suitable PixelFormat (1).");
    if (!platform::set_pixel_format(g_hdc, format)) return fail("Can't Set The PixelFormat(2).");
    g_hrc = platform::create_context(g_hdc);
    if (!g_hrc) return fail("Can't Create A GL Rendering Context.");
    if (!platform::make_current(g_hdc, g_hrc)) return fail("Can't Activate The GL Rendering Context.");

    if (k_build_multisample_samples > 0) {
        // The first window was only a probe to ask the driver for a multisample
        // format; the show runs on a second window made with that format.
        choose_multisample_pixel_format(g_hwnd);
        platform::make_current(nullptr, nullptr);
        platform::delete_context(g_hrc);
        g_hrc = nullptr;
        platform::release_device(g_hwnd, g_hdc);
        g_hdc = nullptr;
        platform::destroy_window(g_hwnd);
        g_hwnd = nullptr;

        g_hwnd = platform::create_window(window_class, caption, x, y, window_width, window_height,
                                         g_fullscreen);
        if (!g_hwnd) return fail("Can't Set The PixelFormat(3).");
        g_hdc = platform::get_device(g_hwnd);
        if (!g_hdc) return fail("Can't Set The PixelFormat(3).");
        if (!platform::set_pixel_format(g_hdc, g_multisample_pixel_format))
            return fail("Can't Set The PixelFormat(3).");
        g_hrc = platform::create_context(g_hdc);
        if (!g_hrc) return fail("Can't Create A GL Rendering Context.");
        if (!platform::make_current(g_hdc, g_hrc))
            return fail("Can't Activate The GL Rendering Context.");
    }

    // The display switches to the full-screen mode only as the window goes up;
    // a switch refused there gets the same question as a mode not offered.
    if (!platform::show_window(g_hwnd) && g_fullscreen) {
        if (!windowed_instead()) {
            kill_gl_window();
            program_will_close();
            return false;
        }
        platform::restore_display_settings();
        platform::show_cursor(true);
        g_fullscreen = false;
        platform::make_windowed(g_hwnd, 50, 50);
    }
    platform::focus_window(g_hwnd);
    report_renderer();

    // A full-screen window can get a drawable other than the mode asked for
    // (a virtual X server keeps its own size); the viewport follows the drawable.
    int drawable_width = 0, drawable_height = 0;
    platform::drawable_size(g_hwnd, drawable_width, drawable_height);
    if (g_fullscreen && drawable_width > 0 && drawable_height > 0)
        resize_gl_scene(drawable_width, drawable_height);
    else
        resize_gl_scene(width, height);

    init_gl_state();
    g_scene_context.window_dc = g_hdc;
    return true;
}

bool choose_multisample_pixel_format(platform::window*) {
    if (!has_gl_extension("WGL_ARB_multisample")) {
        g_multisample_available = false;
        return false;
    }
    platform::pixel_format f;
    f.color_bits = 32;
    f.alpha_bits = 8;
    f.depth_bits = 24;
    f.stencil_bits = 8;
    f.double_buffer = true;
    for (int samples : {k_build_multisample_samples, 2}) {
        f.samples = samples;
        if (const int format = platform::choose_pixel_format_exact(f)) {
            g_multisample_available = true;
            g_multisample_pixel_format = format;
            return true;
        }
    }
    return g_multisample_available;
}

bool extension_listed(const char* list, const char* name) {
    if (!list || !name || !*name) return false;
    const std::size_t length = std::strlen(name);
    for (const char* hit = std::strstr(list, name); hit; hit = std::strstr(hit + 1, name)) {
        const bool starts_word = hit == list || hit[-1] == ' ';
        const bool ends_word = hit[length] == '\0' || hit[length] == ' ';
        if (starts_word && ends_word) return true;
    }
    return false;
}

bool has_gl_extension(const char* name) {
    const char* list = platform::window_system_extensions();
    if (!list) list = platform::gl_extensions_string();
    return extension_listed(list, name);
}

void resize_gl_scene(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool init_gl_state() {
    platform::shader::set_optimal_options(platform::shader::fragment_profile_arb);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    init_demo();
    return true;
}

void kill_gl_window() {
    if (g_benchmark_log) g_scene_context.close_value_log();
    if (g_fullscreen) {
        platform::restore_display_settings();
        platform::show_cursor(true);
    }
    if (g_hrc) {
        if (!platform::make_current(nullptr, nullptr)) shutdown_error("Release Of DC And RC Failed.");
        if (!platform::delete_context(g_hrc)) shutdown_error("Release Rendering Context Failed.");
        g_hrc = nullptr;
    }
    // The handles are cleared on success too, so that a second teardown finds
    // nothing left to release.
    if (g_hdc && !platform::release_device(g_hwnd, g_hdc)) shutdown_error("Release Device Context Failed.");
    g_hdc = nullptr;
    if (g_hwnd && !platform::destroy_window(g_hwnd)) shutdown_error("Could Not Release hWnd.");
    g_hwnd = nullptr;
    if (!platform::unregister_window_class(window_class)) shutdown_error("Could Not Unregister Class.");
}
