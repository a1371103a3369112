#include "shell/demo.hpp"

#include <GL/gl.h>

#include <cstdlib>

#include "platform/system.hpp"
#include "platform/window.hpp"
#include "production/part_start.hpp"
#include "production/scene_timeline.hpp"
#include "render/fatal_exit.hpp"
#include "render/offscreen_target.hpp"
#include "render/scene_context.hpp"
#include "render/texture_slots.hpp"
#include "shell/dev_instruments.hpp"
#include "shell/dev_instruments_asset_report.hpp"
#include "shell/dev_instruments_snapshots.hpp"
#include "shell/frame_driver.hpp"
#include "shell/gl_window.hpp"
#include "shell/message_loop.hpp"
#include "shell/setup.hpp"

double g_elapsed_seconds = 0.0;
std::int64_t g_last_counter = 0;
double g_last_tick = 0.0;
double g_load_seconds = 0.0;
parts* g_parts[11] = {};
int g_part_mode = -1;
platform::sound::sample* g_music_sample = nullptr;
platform::sound::dsp_unit* g_fft_unit = nullptr;

namespace {

constexpr const char* soundtrack = "music//Dorrin-afternoon stroll.mp3";

void sound_failure(const char* text) {
    platform::message_box("Vandrel  ", text, platform::message_buttons::ok,
                          platform::message_icon::information);
}

void start_music() {
    namespace sound = platform::sound;
    if (!sound::init(44100, 32, 0x2)) {
        sound_failure("Problem initializing FMod. \nProgram will now exit.");
        end_run(1);
    }
    g_music_sample = sound::load_sample(soundtrack);
    if (!g_music_sample) {
        sound_failure("Problem initializing FMod. \nNo sound file.");
        sound::close();
        end_run(1);
    }
    sound::set_sample_loop(g_music_sample, false);
    g_fft_unit = sound::fft_unit();
    sound::set_unit_active(g_fft_unit, true);
    platform::set_swap_interval(0);
    sound::play(g_music_sample);
    sound::set_position(0, 0);
}

}  // namespace

void end_run(int exit_code) { fatal_exit(exit_code); }

void timer_reset() {
    g_elapsed_seconds = 0.0;
    g_last_counter = platform::query_performance_counter();
}

double timer_tick() {
    const std::int64_t counter = platform::query_performance_counter();
    const std::int64_t frequency = platform::query_performance_frequency();
    g_elapsed_seconds += static_cast<double>(counter - g_last_counter) / static_cast<double>(frequency);
    g_last_counter = counter;
    return g_elapsed_seconds;
}

void draw_loading_frame(double progress) {
    double dt = progress * 0.567;
    if (g_parts[10]) g_parts[10]->render(&dt, &g_offscreen_target, &g_scene_context, &g_frame_input);
    platform::swap_buffers(g_hdc);
}

void init_demo() {
    if (g_load_state) load_state_snapshots(g_state_snapshots, k_state_file);
    // A report file that cannot be opened only leaves the stream failed.
    if (g_asset_report) g_asset_list_file.open(k_asset_report_file, std::ios::out | std::ios::trunc);
    g_scene_context.load_progress_hook = nullptr;
    if (g_dev_mode) g_scene_context.load_progress_hook = [](double p) { draw_loading_frame(p); return 0.0; };
    g_offscreen_target.create();
    g_scene_context.check_graphics_card();
    g_scene_context.texture_base = 0;
    g_capture_text.clear();
    set_linear_filter(&g_scene_context);
    g_load_seconds = timer_tick();
    g_scene_context.placeholder_textures = false;
    g_scene_context.compress_textures = false;

    if (g_part_mode == -1) {
        g_parts[0] = new part_start;
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        platform::swap_buffers(g_hdc);
        g_parts[0]->load(&g_scene_context);
        g_parts[0]->loaded = 1;
    }
    if (g_music_enabled) start_music();

    // The load time is taken before the report, which prints it.
    g_load_seconds = timer_tick() - g_load_seconds;
    if (g_asset_report) write_asset_report();
    timer_reset();
    g_last_tick = timer_tick();
    g_scene_timeline.init();
    if (g_benchmark_log) g_scene_context.open_value_log(k_value_log_file, &k_value_log_seconds);

    g_demo_time = 0.0;
    for (double& v : g_frame_input.look_point) v = 0.0;
    for (bool& f : g_frame_input.flags_a) f = false;
    for (bool& f : g_frame_input.flags_b) f = false;
    g_frame_input.flags_a[0] = true;
    g_frame_input.leftright_control = 0.0;
    g_frame_input.updown_control = 0.0;
}
