#include "shell/setup.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/run_settings.hpp"
#include "platform/window.hpp"

std::vector<display_mode> g_display_modes;


namespace {

using platform::control_kind;

constexpr platform::dialog_control setup_controls[] = {
    {id_run, control_kind::default_push_button, "Run ... ", 17, 61, 109, 21},
    {id_quit, control_kind::push_button, "Quit", 135, 61, 24, 21},
    {id_music, control_kind::toggle_box, "Music", 18, 37, 42, 15},
    {id_windowed, control_kind::toggle_box, "Windowed", 68, 37, 42, 15},
    {id_force_16_9, control_kind::toggle_box, "Force 16:9", 117, 37, 42, 15},
    {id_resolution, control_kind::drop_down_list, "", 16, 12, 144, 108},
    {-1, control_kind::group_box, "Resolution", 2, 3, 174, 28},
    {-1, control_kind::group_box, "", 2, 29, 174, 26},
    {-1, control_kind::group_box, "", 2, 53, 174, 34},
};

int last_index_of(const std::vector<display_mode>& modes, int width, int height) {
    int found = -1;
    for (std::size_t i = 0; i < modes.size(); ++i)
        if (modes[i].width == width && modes[i].height == height) found = static_cast<int>(i);
    return found;
}

}  // namespace

const platform::dialog_template setup_dialog_template = {
    "Quillmere", 179, 88, "Arial", 10, setup_controls};

void enumerate_display_modes() {
    g_display_modes.clear();
    int width = 0, height = 0;
    for (int i = 0; platform::enum_display_settings(i, width, height); ++i)
        add_display_mode(g_display_modes, width, height);
}

bool add_display_mode(std::vector<display_mode>& modes, int width, int height) {
    for (const display_mode& m : modes)
        if (m.width == width && m.height == height) return false;
    if (width <= 0 || height <= 0) return false;
    const double w = width, h = height;
    if (!(w / h <= 1.8 && h / w <= 1.8 && width < 2048 && height < 2048 && width >= height))
        return false;
    modes.push_back({width, height});
    return true;
}

std::string display_mode_label(const display_mode& mode) {
    const double ratio = static_cast<double>(mode.width) / mode.height;
    const char* format = " %d x %d  (4:3)";
    if (std::abs(ratio - 1.6) < 0.01)
        format = " %d x %d  (16:10)";
    else if (std::abs(ratio - 1.7777777777777777) < 0.01)
        format = " %d x %d  (16:9)";
    char text[64];
    std::snprintf(text, sizeof text, format, mode.width, mode.height);
    return text;
}

int default_mode_index(const std::vector<display_mode>& modes) {
    const int wide = last_index_of(modes, 1280, 720);
    if (wide > 0) return wide;
    const int classic = last_index_of(modes, 1024, 768);
    return classic >= 0 ? classic : 0;
}

int force_16_9_height(int width) {
    return static_cast<int>(static_cast<float>(width / 1.7777777777777777));
}

display_mode fallback_display_mode() {
    const auto& setup = platform::settings().setup;
    if (setup && setup->width > 0 && setup->height > 0) return {setup->width, setup->height};
    return {1280, 720};
}

int setup_dialog_proc(platform::dialog* d, platform::dialog_event event, int control_id) {
    if (event == platform::dialog_event::init) {
        platform::check_dialog_button(d, id_music, true);
        if (g_mode_list_pending) {
            for (const display_mode& mode : g_display_modes)
                platform::add_list_item(d, id_resolution, display_mode_label(mode));
            platform::select_list_item(d, id_resolution, default_mode_index(g_display_modes));
            g_mode_list_pending = false;
        }
        return 0;
    }
    if (control_id == id_run) {
        g_music_enabled = platform::is_dialog_button_checked(d, id_music);
        g_fullscreen = !platform::is_dialog_button_checked(d, id_windowed);
        g_force_16_9 = platform::is_dialog_button_checked(d, id_force_16_9);
        const int index = platform::selected_list_item(d, id_resolution);
        // An empty list (a display that reports no usable mode) selects nothing.
        const display_mode mode = index >= 0 && index < static_cast<int>(g_display_modes.size())
                                      ? g_display_modes[index]
                                      : fallback_display_mode();
        g_window_width = g_render_width = mode.width;
        g_window_height = g_render_height = mode.height;
        if (g_force_16_9) {
            g_render_height = force_16_9_height(mode.width);
            if (!g_fullscreen) {
                g_window_width = mode.width;
                g_window_height = g_render_height;
            }
        }
        platform::end_dialog(d, control_id);
        return 1;
    }
    if (control_id == id_quit) {
        platform::end_dialog(d, control_id);
        std::exit(0);
    }
    return 0;
}
