#include "shell/message_loop.hpp"

#include "render/scene_context.hpp"
#include "shell/frame_driver.hpp"
#include "shell/gl_window.hpp"
#include "shell/number_text.hpp"

bool g_keys[256] = {};
bool g_active = true;
bool g_quitting = false;
double g_quit_time = 0.0;
double g_demo_time = 0.0;
std::string g_capture_text;

namespace {

// Every message that reaches default processing moves the arrow controls by
// one frame time while their keys are held.
void move_arrow_controls() {
    const double dt = g_frame_dt;
    if (g_keys[platform::vk::up]) g_frame_input.updown_control += 1.5 * dt;
    if (g_keys[platform::vk::down]) g_frame_input.updown_control -= 1.5 * dt;
    if (g_keys[platform::vk::left]) g_frame_input.leftright_control -= dt;
    if (g_keys[platform::vk::right]) g_frame_input.leftright_control += dt;
}

std::string three_numbers(double x, double y, double z) {
    return format_capture_number(x) + "," + format_capture_number(y) + "," + format_capture_number(z);
}

long default_processing(platform::window* w, const platform::message& m) {
    move_arrow_controls();
    return platform::default_window_procedure(w, m);
}

}  // namespace

void capture_camera() {
    const double* look = g_frame_input.look_point;
    g_frame_input.captured_points.push_back(
        vec3{1, static_cast<float>(look[0]), static_cast<float>(look[1]), static_cast<float>(look[2])});
    const double* offset = g_frame_input.camera_offset;
    const vec3& eye = g_scene_context.camera.eye;
    g_capture_text += "Cam :" + three_numbers(offset[0], offset[1], offset[2]) + "  \n";
    g_capture_text += "Pnt :" + three_numbers(look[0], look[1], look[2]) + "  \n \n";
    g_capture_text += "MCr :" + three_numbers(eye.x, eye.y, eye.z) + "  \n \n";
}

long window_proc(platform::window* w, const platform::message& m) {
    using platform::message_kind;
    switch (m.kind) {
        case message_kind::activate:
            g_active = !m.minimized;
            return 0;
        case message_kind::system_screensave:
            return 0;
        case message_kind::close:
            platform::post_quit_message(0);
            return 0;
        case message_kind::key_down:
            if (m.key >= 0 && m.key < 256) g_keys[m.key] = true;
            return 0;
        case message_kind::key_up:
            if (m.key >= 0 && m.key < 256) g_keys[m.key] = false;
            return 0;
        case message_kind::size:
            resize_gl_scene(m.width, m.height);
            return 0;
        case message_kind::mouse_wheel:
            return 0;
        case message_kind::middle_button_down:
            capture_camera();
            return default_processing(w, m);
        default:
            return default_processing(w, m);
    }
}

int run_message_loop() {
    platform::message m;
    for (;;) {
        if (platform::peek_message(m)) {
            if (m.kind == platform::message_kind::quit) return m.code;
            platform::dispatch_message(m);
            continue;
        }
        bool going_on = true;
        if (g_active) going_on = run_frame();
        if (!g_quitting && (g_keys[platform::vk::escape] || (g_active && !going_on))) {
            g_quitting = true;
            g_quit_time = g_demo_time;
        }
        platform::swap_buffers(g_hdc);
    }
}
