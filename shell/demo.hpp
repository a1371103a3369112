#pragma once
// Demo initialisation, the clock, and the music state that the frame driver reads.
#include <cstdint>

#include "platform/sound.hpp"

class parts;

extern double g_elapsed_seconds;
extern std::int64_t g_last_counter;
extern double g_last_tick;
extern double g_load_seconds;
extern parts* g_parts[11];
extern int g_part_mode;
extern platform::sound::sample* g_music_sample;
extern platform::sound::dsp_unit* g_fft_unit;

// Runs once at the end of window creation with the show window's context current.
void init_demo();
void timer_reset();
double timer_tick();
void draw_loading_frame(double progress);
// Releases the window, then ends the run; used by the fatal paths of start-up.
[[noreturn]] void end_run(int exit_code);
