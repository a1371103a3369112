#include "shell/settings.hpp"

bool g_music_enabled = false;
bool g_fullscreen = false;
bool g_force_16_9 = false;
int g_window_width = 0;
int g_window_height = 0;
bool g_show_setup_dialog = true;
bool g_mode_list_pending = true;
// Off as shipped; only the QUILLMERE_DEV_SWITCHES build option turns it on.
#ifndef QUILLMERE_DEV_SWITCH_DEV_MODE
#define QUILLMERE_DEV_SWITCH_DEV_MODE 0
#endif
bool g_dev_mode = QUILLMERE_DEV_SWITCH_DEV_MODE;
