#pragma once
// The per-frame driver: clock, music, frame input, the part's render, and the
// three ways the show ends.
#include <cstdint>
#include <string>

#include "shell/frame_input.hpp"

extern frame_input g_frame_input;
extern double g_frame_dt;
extern double g_fade_rate;
extern bool g_music_sync;
extern int g_start_section;
extern std::int32_t g_frame_counter;

bool run_frame();
void frame_debug_hook(double part_time);
bool copy_text_to_clipboard(const std::string& text);
// The up/down control's decay toward 0 by `step`, without crossing it, then
// clamped to [-1, 1].
double decay_control(double value, double step);
// The music time in seconds from a play position; 0 while the frequency is 0.
double music_seconds(std::uint32_t position, int frequency);
