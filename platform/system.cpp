#include "platform/system.hpp"

#include <GL/gl.h>
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/run_settings.hpp"

namespace platform {
namespace {

constexpr std::int64_t virtual_frequency = 1'000'000'000;
std::int64_t g_virtual_counter = 0;

}  // namespace

bool fixed_step_clock() { return settings().fixed_frame_time > 0; }

std::int64_t query_performance_counter() {
    if (fixed_step_clock()) return g_virtual_counter;
    return static_cast<std::int64_t>(SDL_GetPerformanceCounter());
}

std::int64_t query_performance_frequency() {
    if (fixed_step_clock()) return virtual_frequency;
    return static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
}

void advance_virtual_clock() {
    if (fixed_step_clock())
        g_virtual_counter += std::llround(settings().fixed_frame_time * virtual_frequency);
}

double virtual_clock_seconds() {
    return static_cast<double>(g_virtual_counter) / virtual_frequency;
}

message_answer message_box(const std::string& caption, const std::string& text,
                           message_buttons buttons, message_icon icon) {
    const run_settings& s = settings();
    if (!s.messages_to_stderr) {
        SDL_MessageBoxButtonData choices[2];
        int count = 0;
        if (buttons == message_buttons::yes_no) {
            choices[count++] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"};
            choices[count++] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "No"};
        } else {
            choices[count++] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                                    SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
        }
        SDL_MessageBoxData data{};
        data.flags = icon == message_icon::information ? SDL_MESSAGEBOX_INFORMATION
                     : icon == message_icon::exclamation ? SDL_MESSAGEBOX_WARNING
                                                         : SDL_MESSAGEBOX_ERROR;
        data.title = caption.c_str();
        data.message = text.c_str();
        data.numbuttons = count;
        data.buttons = choices;
        int pressed = -1;
        if (SDL_ShowMessageBox(&data, &pressed) == 0) {
            if (buttons == message_buttons::ok) return message_answer::ok;
            return pressed == 1 ? message_answer::yes : message_answer::no;
        }
        // No box could be shown: fall through to the printed form.
    }
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    if (buttons == message_buttons::ok) return message_answer::ok;
    const bool yes = s.message_answer_yes;
    std::fprintf(stderr, "[%s] answered %s\n", caption.c_str(), yes ? "Yes" : "No");
    return yes ? message_answer::yes : message_answer::no;
}

bool set_clipboard_text(const std::string& text) {
    const run_settings& s = settings();
    if (!s.clipboard_file.empty()) {
        std::ofstream out(s.clipboard_file, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out) return false;
    }
    if (s.headless) {
        std::fprintf(stderr, "[clipboard] %s\n", text.c_str());
        return true;
    }
    // X11 clipboards live in the program that set them: where xclip exists it
    // takes the text and keeps serving it after the show has ended.
    if (std::getenv("DISPLAY") && std::system("command -v xclip >/dev/null 2>&1") == 0) {
        if (std::FILE* pipe = popen("xclip -selection clipboard -i >/dev/null 2>&1", "w")) {
            std::fwrite(text.data(), 1, text.size(), pipe);
            if (pclose(pipe) == 0) return true;
        }
    }
    return SDL_SetClipboardText(text.c_str()) == 0;
}

void finish_gl() { glFinish(); }

void* gl_proc_address(const char* name) { return SDL_GL_GetProcAddress(name); }

const char* gl_extensions_string() {
    return reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
}

}  // namespace platform
