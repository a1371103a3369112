#pragma once
// The choices of the setup dialog, read by window creation and the show. The
// render size it sets (g_render_width, g_render_height) is kept by the
// rendering kit.
#include "render/render_size.hpp"

extern bool g_music_enabled;
extern bool g_fullscreen;
extern bool g_force_16_9;
extern int g_window_width;
extern int g_window_height;
extern bool g_show_setup_dialog;
extern bool g_mode_list_pending;
extern bool g_dev_mode;
