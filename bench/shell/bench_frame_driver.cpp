// The frame driver's own cost per frame, without the part's drawing: clock,
// music position and spectrum, frame input, scene timeline and the loop's GL
// state calls. Run from a data directory holding the soundtrack.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "platform/sound.hpp"
#include "platform/window.hpp"
#include "production/scene_timeline.hpp"
#include "shell/demo.hpp"
#include "shell/frame_driver.hpp"
#include "shell/gl_window.hpp"
#include "shell/message_loop.hpp"
#include "shell/settings.hpp"

const int k_build_multisample_samples = 0;

namespace {

long ignore(platform::window*, const platform::message&) { return 0; }

bool make_context() {
    platform::register_window_class("bench", ignore);
    platform::window* w = platform::create_window("bench", "bench", 0, 0, 64, 64, false);
    platform::device* d = w ? platform::get_device(w) : nullptr;
    const int format = d ? platform::choose_pixel_format(d, platform::pixel_format{}) : 0;
    if (!format || !platform::set_pixel_format(d, format)) return false;
    platform::gl_context* c = platform::create_context(d);
    return c && platform::make_current(d, c);
}

void FrameDriverWithoutDrawing(benchmark::State& state) {
    if (!make_context()) {
        state.SkipWithError("no GL context");
        return;
    }
    namespace sound = platform::sound;
    g_music_enabled = state.range(0) != 0;
    if (g_music_enabled) {
        sound::init(44100, 32, 0x2);
        g_music_sample = sound::load_sample("music//Dorrin-afternoon stroll.mp3");
        if (!g_music_sample) {
            state.SkipWithError("no soundtrack in the working directory");
            return;
        }
        g_fft_unit = sound::fft_unit();
        sound::set_unit_active(g_fft_unit, true);
        sound::play(g_music_sample);
    }
    g_scene_timeline.init();
    timer_reset();
    g_last_tick = timer_tick();
    for (auto _ : state) {
        run_frame();
        if (g_demo_time > 200.0) g_demo_time = 0.0;   // stay inside the show
    }
    sound::close();
}
BENCHMARK(FrameDriverWithoutDrawing)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
