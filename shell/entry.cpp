#include "shell/entry.hpp"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/dialog.hpp"
#include "platform/run_settings.hpp"
#include "render/fatal_exit.hpp"
#include "shell/demo.hpp"
#include "shell/dev_instruments.hpp"
#include "shell/frame_driver.hpp"
#include "shell/gl_window.hpp"
#include "shell/message_loop.hpp"
#include "shell/setup.hpp"

int WinMain() {
    // A setting that cannot be used ends the run before anything opens.
    const std::vector<std::string>& problems = platform::settings_problems();
    for (const std::string& line : problems) std::fprintf(stderr, "%s\n", line.c_str());
    if (!problems.empty()) return platform::exit_code_bad_setting;

    // Failures deep in start-up release the window before the run ends.
    set_fatal_teardown_hook([](int) { kill_gl_window(); });
    if (g_dev_mode) {
        g_show_setup_dialog = true;
        g_fade_rate = 0.800000011920929;  // 0.8 in single precision
        g_music_enabled = true;
        g_part_mode = 1;
        g_music_sync = true;
    }
    enumerate_display_modes();
    if (g_show_setup_dialog) {
        platform::dialog_box(setup_dialog_template, setup_dialog_proc);
    } else {
        g_window_width = g_render_width = 934;
        g_window_height = g_render_height = 525;
    }
    // A window that cannot be made has shown its message; the run has failed.
    if (!create_gl_window(" = Quillmere - Orvane 2008 = ", g_window_width, g_window_height, 32,
                          g_fullscreen))
        return 1;
    const int code = run_message_loop();
    kill_gl_window();
    return code;
}
