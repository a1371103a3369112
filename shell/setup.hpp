#pragma once
// Program entry settings: the usable display modes, the setup dialog and the
// choices it leaves for window creation and the show.
#include <string>
#include <vector>

#include "platform/dialog.hpp"
#include "shell/settings.hpp"

struct display_mode {
    int width;
    int height;
};

extern std::vector<display_mode> g_display_modes;


// Dialog control ids.
constexpr int id_run = 1;
constexpr int id_quit = 2;
constexpr int id_music = 1011;
constexpr int id_windowed = 1012;
constexpr int id_force_16_9 = 1013;
constexpr int id_resolution = 1014;

extern const platform::dialog_template setup_dialog_template;

void enumerate_display_modes();
// Appends (width, height) unless it is listed already or unusable for the show
// (portrait, wider than 1.8:1 either way, or 2048 pixels or more on a side).
bool add_display_mode(std::vector<display_mode>& modes, int width, int height);
std::string display_mode_label(const display_mode& mode);
int default_mode_index(const std::vector<display_mode>& modes);
// The 16:9 height for a width, as the dialog computes it (single precision, truncated).
int force_16_9_height(int width);
// The size taken when the resolution list names no entry: the run's own setup
// answer where it gives one, else 1280 x 720.
display_mode fallback_display_mode();

int setup_dialog_proc(platform::dialog* d, platform::dialog_event event, int control_id);
