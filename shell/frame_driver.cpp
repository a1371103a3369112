#include "shell/frame_driver.hpp"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

#include "platform/sound.hpp"
#include "platform/system.hpp"
#include "production/parts.hpp"
#include "production/scene_timeline.hpp"
#include "render/offscreen_target.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/scene_context.hpp"
#include "shell/demo.hpp"
#include "shell/dev_instruments.hpp"
#include "shell/dev_instruments_snapshots.hpp"
#include "shell/gl_window.hpp"
#include "shell/message_loop.hpp"
#include "shell/setup.hpp"

frame_input g_frame_input;
double g_frame_dt = 0.0;
double g_fade_rate = 1.7999999523162842;
bool g_music_sync = false;
int g_start_section = -4;
std::int32_t g_frame_counter = 0;

namespace {

namespace sound = platform::sound;

double clamp01(double x) { return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x); }

[[noreturn]] void end_show(bool close_music) {
    if (close_music) sound::close();
    kill_gl_window();
    delete g_parts[0];
    g_parts[0] = nullptr;
    std::exit(0);
}

// Multiplies the whole frame by 1 - f: the overlay quad is drawn in clip
// space, so it covers the picture whatever camera the part left behind.
void draw_fade_overlay(double f) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glDisable(GL_LIGHTING);
    glColor3f(static_cast<float>(f), static_cast<float>(f), static_cast<float>(f));
    glDisable(GL_TEXTURE_2D);
    const double angle = 0.0, half = 50.0;
    draw_textured_quad(&angle, &half, &half);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace

double decay_control(double value, double step) {
    if (value > 0.0)
        value = value - step > 0.0 ? value - step : 0.0;
    else if (value < 0.0)
        value = value + step < 0.0 ? value + step : 0.0;
    return value > 1.0 ? 1.0 : (value < -1.0 ? -1.0 : value);
}

double music_seconds(std::uint32_t position, int frequency) {
    return frequency > 0 ? static_cast<double>(position) / frequency : 0.0;
}

void frame_debug_hook(double) {}

bool copy_text_to_clipboard(const std::string& text) { return platform::set_clipboard_text(text); }

bool run_frame() {
    const double reading = timer_tick();
    double dt = reading - g_last_tick;
    g_last_tick = timer_tick();
    if (dt < 0.0) dt = 0.0;
    g_frame_dt = dt;

    if (g_music_enabled) {
        qm_srand(static_cast<std::uint32_t>(static_cast<std::int64_t>(g_demo_time * 1000000.0)));
        for (int i = 0; i < 50; ++i) qm_rand();
        const int frequency = sound::frequency(0);
        const double music_time = music_seconds(sound::position(0), frequency);
        const double music_end = music_seconds(sound::sample_length(g_music_sample), frequency);
        if (music_time > music_end - 5.0) g_music_sync = false;
        if (g_music_sync && g_demo_time <= 230.0) {
            g_frame_dt += (music_time - g_demo_time) * 0.10000000149011612;
        }
    }

    if (g_benchmark_log) {
        const double frame_rate = 1.0 / std::max(g_frame_dt, static_cast<double>(0.00001f));
        g_scene_context.record_value(&frame_rate, &g_demo_time, 0);
    }

    ++g_frame_counter;
    g_frame_input.unit_value() = 1.0;
    for (double& c : g_frame_input.camera_offset) c = 0.0;
    g_frame_input.seek_request = 0;

    g_scene_timeline.active_layers_at(g_demo_time);
    bool changed = false;
    g_frame_input.scene_id = g_scene_timeline.scene_at(&changed, g_demo_time);
    g_frame_input.scene_row = g_scene_timeline.current_scene_index;

    g_scene_context.texture_base = 0;
    g_demo_time += g_frame_dt;
    g_frame_input.demo_time = g_demo_time;
    if (g_music_enabled) {
        const auto spectrum = sound::spectrum();
        for (int i = 0; i < 512; ++i) g_frame_input.spectrum[i] = spectrum[i];
    }

    if (g_part_mode == -1) {
        g_frame_input.updown_control = decay_control(g_frame_input.updown_control, 1.45 * g_frame_dt);
        glBlendFunc(GL_ONE, GL_ONE);
        glEnable(GL_MULTISAMPLE);
        if (g_parts[0]) g_parts[0]->render(&g_frame_dt, &g_offscreen_target, &g_scene_context, &g_frame_input);
    } else {
        glEnable(GL_MULTISAMPLE);
        g_frame_input.demo_time = g_demo_time;
        render_development_parts(g_parts, &g_frame_dt, &g_offscreen_target, &g_scene_context, &g_frame_input);
        if (g_record_state) {
            record_state_snapshot(g_current_state, g_state_snapshots, g_demo_time, g_frame_input, g_parts);
            if (g_demo_time > 450.0) save_state_snapshots(g_state_snapshots, k_state_file);
        }
    }
    if (g_load_state) replay_state_from_keys(g_keys, g_state_snapshots, g_current_state, g_frame_input, g_parts);
    if (g_start_section > -1 && g_frame_counter == 1) {
        if (const auto start = start_section_time(g_start_section)) g_demo_time = *start;
        sound::set_position(0, static_cast<std::uint32_t>(static_cast<std::int64_t>(g_demo_time * 44100.0)));
    }

    if (!g_dev_mode) frame_debug_hook(g_frame_input.part_time_out());

    if (g_demo_time > 261.1) end_show(true);
    if (g_frame_input.exit_request()) end_show(g_music_enabled);

    if (g_quitting) {
        if (g_record_state) save_state_snapshots(g_state_snapshots, k_state_file);
        const double e = g_demo_time - g_quit_time;
        double f = clamp01(g_fade_rate * e);
        const double g = clamp01(5.0 * g_fade_rate * e);
        g_frame_input.fade_level() = 1.0 - g;
        if (g_music_sync) f = 1.0;
        if (g_music_enabled) sound::set_volume_all(255 - static_cast<int>(255.0 * f));
        draw_fade_overlay(f);
        if (f > 0.9990000128746033) {
            copy_text_to_clipboard(g_capture_text);
            end_show(g_music_enabled);
        }
    }
    return true;
}
