#include "show_harness.hpp"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/window.hpp"
#include "production/part_start.hpp"
#include "render/offscreen_target.hpp"
#include "render/random.hpp"
#include "render/render_size.hpp"
#include "render/scene_context.hpp"
#include "shell/frame_input.hpp"

namespace {

long ignore_messages(platform::window*, const platform::message&) { return 0; }

bool make_context(std::string& why) {
    if (!platform::register_window_class("show_harness", ignore_messages)) {
        why = "cannot register a window class";
        return false;
    }
    platform::window* w = platform::create_window("show_harness", "show_harness", 0, 0,
                                                  show_harness::width, show_harness::height, false);
    platform::device* d = w ? platform::get_device(w) : nullptr;
    platform::pixel_format format;
    format.alpha_bits = 8;
    format.depth_bits = 24;
    const int index = d ? platform::choose_pixel_format(d, format) : 0;
    if (!index || !platform::set_pixel_format(d, index)) {
        why = std::string("no GL surface: ") + platform::last_error();
        return false;
    }
    platform::gl_context* c = platform::create_context(d);
    if (!c || !platform::make_current(d, c)) {
        why = std::string("no GL context: ") + platform::last_error();
        return false;
    }
    glViewport(0, 0, show_harness::width, show_harness::height);
    return true;
}

}  // namespace

show_harness* show_harness::get(std::string* why) {
    static show_harness* instance = nullptr;
    static std::string reason;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const char* data = std::getenv("QUILLMERE_TEST_DATA");
        if (!data || !std::filesystem::exists(std::filesystem::path(data) / "textures")) {
            reason = "QUILLMERE_TEST_DATA names no stand-in data set";
        } else if (make_context(reason)) {
            // The part reads its files relative to the working directory.
            if (chdir(data) != 0) {
                reason = "cannot enter the data directory";
            } else {
                setenv("QUILLMERE_MESSAGES", "stderr", 0);
                g_render_width = width;
                g_render_height = height;
                g_scene_context.compress_textures = false;
                g_offscreen_target.create();
                instance = new show_harness;
                instance->part_ = new part_start;
                instance->part_->load(&g_scene_context);
                instance->state_after_load_ = qm_random_state();
            }
        }
    }
    if (why) *why = reason;
    return instance;
}

part_start& show_harness::part() { return *part_; }

void show_harness::render_at(double t, double fast_clock) {
    static frame_input input;
    part_->time = t;
    part_->fast_clock = fast_clock;
    double delta = 0.0;
    render_frame(&delta, input);
}

void show_harness::render_frame(double* delta, frame_input& input) {
    glBlendFunc(GL_ONE, GL_ONE);
    part_->render(delta, &g_offscreen_target, &g_scene_context, &input);
    glFinish();
}

std::vector<std::uint8_t> show_harness::pixels() const {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

stack_depths show_harness::depths() const {
    stack_depths d;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &d.modelview);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &d.projection);
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &d.texture);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &d.attributes);
    return d;
}

unsigned show_harness::gl_error() const {
    const GLenum first = glGetError();
    while (glGetError() != GL_NO_ERROR) {
    }
    return first;
}
