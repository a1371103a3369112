// SDL2 backend of the window layer: windows get their GL surface when their
// pixel format is set, since SDL fixes the format when it creates a window.
#include "platform/window.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "platform/frame_capture.hpp"
#include "platform/run_settings.hpp"
#include "platform/system.hpp"

namespace platform {

struct device {
    window* owner = nullptr;
    int format = 0;
};

struct window {
    std::string class_name;
    std::string caption;
    int x = 0, y = 0, width = 0, height = 0;
    bool popup = false;
    bool fullscreen = false;          // made to go full screen in the requested display mode
    SDL_Window* sdl = nullptr;
    device surface;
};

struct gl_context {
    SDL_GLContext sdl = nullptr;
    window* hidden_owner = nullptr;   // the hidden window of an off-screen context
};

namespace {

struct format_entry {
    pixel_format format;
    bool exact = false;
};

struct display_mode_request {
    bool pending = false;
    int width = 0, height = 0;
};

std::map<std::string, window_procedure> g_classes;
std::vector<format_entry> g_formats;
std::deque<message> g_queue;
std::vector<window*> g_windows;
std::vector<gl_context*> g_contexts;   // the live ones: a stale handle is refused, not freed twice
device* g_current_device = nullptr;
gl_context* g_current_context = nullptr;
display_mode_request g_display_mode;
std::string g_error;
long g_swap_count = 0;
bool g_capture_failed = false;
std::vector<test_hooks::call> g_failing_calls;

// A failure a test asked for (test_hooks::fail_next): reported once, on the next call.
bool injected_failure(test_hooks::call which) {
    const auto it = std::find(g_failing_calls.begin(), g_failing_calls.end(), which);
    if (it == g_failing_calls.end()) return false;
    g_failing_calls.erase(it);
    g_error = "failure injected by a test";
    return true;
}

gl_context* add_context(SDL_GLContext sdl, window* hidden_owner) {
    auto* c = new gl_context;
    c->sdl = sdl;
    c->hidden_owner = hidden_owner;
    g_contexts.push_back(c);
    return c;
}

// Whether the display is in the mode SDL chose for the full-screen window.
bool in_fullscreen_mode(SDL_Window* sdl) {
    SDL_DisplayMode wanted{}, current{};
    const int display = SDL_GetWindowDisplayIndex(sdl);
    if (display < 0 || SDL_GetWindowDisplayMode(sdl, &wanted) != 0 ||
        SDL_GetCurrentDisplayMode(display, &current) != 0) {
        g_error = SDL_GetError();
        return false;
    }
    if (!(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) || current.w != wanted.w ||
        current.h != wanted.h) {
        g_error = "the display did not switch to " + std::to_string(wanted.w) + " x " +
                  std::to_string(wanted.h);
        return false;
    }
    return true;
}

bool ensure_video() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (settings().headless) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        g_error = SDL_GetError();
        return false;
    }
    SDL_DisableScreenSaver();
    // Keep the GL driver loaded for the whole run: SDL unloads it when its last
    // GL window goes, which the multisample probe window would otherwise do.
    SDL_GL_LoadLibrary(nullptr);
    return true;
}

void apply_attributes(const pixel_format& f) {
    SDL_GL_ResetAttributes();
    const int channel = f.color_bits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, f.alpha_bits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depth_bits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencil_bits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.double_buffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, f.samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, f.samples);
}

SDL_Window* create_sdl_window(const std::string& caption, int x, int y, int w, int h,
                              Uint32 extra_flags, const pixel_format& f) {
    apply_attributes(f);
    SDL_Window* sdl = SDL_CreateWindow(caption.c_str(), x, y, w, h,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | extra_flags);
    if (!sdl) g_error = SDL_GetError();
    return sdl;
}

// The weaker formats a driver's closest-match choice may fall back to.
std::vector<pixel_format> closest_candidates(const pixel_format& f) {
    std::vector<pixel_format> candidates{f};
    pixel_format relaxed = f;
    if (relaxed.alpha_bits > 0) {
        relaxed.alpha_bits = 0;
        candidates.push_back(relaxed);
    }
    if (relaxed.stencil_bits > 0) {
        relaxed.stencil_bits = 0;
        candidates.push_back(relaxed);
    }
    if (relaxed.depth_bits > 0) {
        relaxed.depth_bits = 16;
        candidates.push_back(relaxed);
    }
    return candidates;
}

window* window_of(Uint32 window_id) {
    SDL_Window* sdl = SDL_GetWindowFromID(window_id);
    for (window* w : g_windows)
        if (w->sdl && w->sdl == sdl) return w;
    return g_windows.empty() ? nullptr : g_windows.back();
}

int virtual_key(SDL_Keycode key) {
    switch (key) {
        case SDLK_ESCAPE: return vk::escape;
        case SDLK_LEFT: return vk::left;
        case SDLK_UP: return vk::up;
        case SDLK_RIGHT: return vk::right;
        case SDLK_DOWN: return vk::down;
        case SDLK_RETURN: return 0x0D;
        case SDLK_SPACE: return 0x20;
        default: break;
    }
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    return 0;
}

bool translate(const SDL_Event& e, message& m) {
    switch (e.type) {
        case SDL_QUIT:
            m.kind = message_kind::close;
            m.target = g_windows.empty() ? nullptr : g_windows.back();
            return m.target != nullptr;
        case SDL_WINDOWEVENT:
            m.target = window_of(e.window.windowID);
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    m.kind = message_kind::close;
                    return true;
                case SDL_WINDOWEVENT_MINIMIZED:
                    m.kind = message_kind::activate;
                    m.minimized = true;
                    return true;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    m.kind = message_kind::activate;
                    m.minimized = m.target && m.target->sdl &&
                                  (SDL_GetWindowFlags(m.target->sdl) & SDL_WINDOW_MINIMIZED);
                    return true;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    m.kind = message_kind::size;
                    if (m.target && m.target->sdl)
                        SDL_GL_GetDrawableSize(m.target->sdl, &m.width, &m.height);
                    return true;
                default:
                    return false;
            }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            m.kind = e.type == SDL_KEYDOWN ? message_kind::key_down : message_kind::key_up;
            m.key = virtual_key(e.key.keysym.sym);
            m.target = window_of(e.key.windowID);
            return m.key != 0;
        case SDL_MOUSEBUTTONDOWN:
            m.kind = e.button.button == SDL_BUTTON_MIDDLE ? message_kind::middle_button_down
                                                          : message_kind::other_button_down;
            m.target = window_of(e.button.windowID);
            return true;
        case SDL_MOUSEWHEEL:
            m.kind = message_kind::mouse_wheel;
            m.wheel = e.wheel.y;
            m.target = window_of(e.wheel.windowID);
            return true;
        case SDL_MOUSEMOTION:
            m.kind = message_kind::mouse_move;
            m.target = window_of(e.motion.windowID);
            return true;
        default:
            return false;
    }
}

}  // namespace

bool register_window_class(const std::string& name, window_procedure procedure) {
    if (!procedure || g_classes.count(name)) return false;
    g_classes[name] = procedure;
    return true;
}

bool unregister_window_class(const std::string& name) {
    for (window* w : g_windows)
        if (w->class_name == name) return false;
    return g_classes.erase(name) == 1;
}

window* create_window(const std::string& class_name, const std::string& caption, int x, int y,
                      int width, int height, bool popup) {
    if (!g_classes.count(class_name) || width <= 0 || height <= 0 || !ensure_video()) return nullptr;
    auto* w = new window;
    w->class_name = class_name;
    w->caption = caption;
    w->x = x;
    w->y = y;
    w->width = width;
    w->height = height;
    w->popup = popup;
    w->surface.owner = w;
    g_windows.push_back(w);
    return w;
}

bool destroy_window(window* w) {
    auto it = std::find(g_windows.begin(), g_windows.end(), w);
    if (it == g_windows.end()) return false;
    g_windows.erase(it);
    if (g_current_device == &w->surface) g_current_device = nullptr;
    if (w->sdl) SDL_DestroyWindow(w->sdl);
    std::erase_if(g_queue, [w](const message& m) { return m.target == w; });
    delete w;
    return true;
}

bool show_window(window* w) {
    if (!w || !w->sdl) return false;
    bool switched = true;
    if (w->fullscreen) {
        SDL_DisplayMode mode{};
        mode.w = g_display_mode.width;
        mode.h = g_display_mode.height;
        if (SDL_SetWindowDisplayMode(w->sdl, &mode) != 0) {
            g_error = SDL_GetError();
            switched = false;
        }
    }
    // A full-screen window switches the display as it goes up; SDL keeps the
    // outcome to itself, so it is read back from the display.
    SDL_ShowWindow(w->sdl);
    SDL_RaiseWindow(w->sdl);
    if (!w->fullscreen) return true;
    switched = switched && in_fullscreen_mode(w->sdl);
    if (injected_failure(test_hooks::call::display_switch)) switched = false;
    return switched;
}

void make_windowed(window* w, int x, int y) {
    if (!w || !w->sdl) return;
    if (w->fullscreen) SDL_SetWindowFullscreen(w->sdl, 0);
    SDL_SetWindowPosition(w->sdl, x, y);
    w->fullscreen = false;
    w->popup = false;
    w->x = x;
    w->y = y;
}

void focus_window(window* w) {
    if (w && w->sdl) SDL_RaiseWindow(w->sdl);
}

void adjust_window_rect(int&, int&, bool) {}

void drawable_size(window* w, int& width, int& height) {
    width = height = 0;
    if (w && w->sdl) SDL_GL_GetDrawableSize(w->sdl, &width, &height);
}

device* get_device(window* w) { return w ? &w->surface : nullptr; }

bool release_device(window* w, device* d) { return w && d == &w->surface; }

int choose_pixel_format(device* d, const pixel_format& format) {
    if (!d) return 0;
    g_formats.push_back({format, false});
    return static_cast<int>(g_formats.size());
}

int choose_pixel_format_exact(const pixel_format& format) {
    if (!ensure_video()) return 0;
    SDL_Window* probe = create_sdl_window("probe", 0, 0, 16, 16, 0, format);
    if (!probe) return 0;
    SDL_Window* previous_window = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous_context = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(probe);
    int samples = 0;
    if (context) SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples);
    if (context) SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(probe);
    if (previous_context) SDL_GL_MakeCurrent(previous_window, previous_context);
    if (!context || (format.samples > 0 && samples <= 0)) return 0;
    g_formats.push_back({format, true});
    return static_cast<int>(g_formats.size());
}

bool set_pixel_format(device* d, int format_index) {
    if (!d || !d->owner || d->format != 0 || format_index <= 0 ||
        format_index > static_cast<int>(g_formats.size()))
        return false;
    window* w = d->owner;
    const format_entry& entry = g_formats[format_index - 1];
    Uint32 flags = 0;
    if (w->popup && g_display_mode.pending) flags |= SDL_WINDOW_FULLSCREEN;
    const std::vector<pixel_format> candidates =
        entry.exact ? std::vector<pixel_format>{entry.format} : closest_candidates(entry.format);
    for (const pixel_format& f : candidates) {
        w->sdl = create_sdl_window(w->caption, w->x, w->y, w->width, w->height, flags, f);
        if (w->sdl) break;
    }
    if (!w->sdl) return false;
    w->fullscreen = (flags & SDL_WINDOW_FULLSCREEN) != 0;
    d->format = format_index;
    return true;
}

int samples_of_current_surface() {
    int samples = 0;
    if (SDL_GL_GetCurrentContext()) SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples);
    return samples;
}

gl_context* create_context(device* d) {
    if (!d || !d->owner || !d->owner->sdl) return nullptr;
    SDL_Window* previous_window = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous_context = SDL_GL_GetCurrentContext();
    SDL_GLContext sdl = SDL_GL_CreateContext(d->owner->sdl);
    if (!sdl) {
        g_error = SDL_GetError();
        return nullptr;
    }
    // Creating a context must not change which one is current.
    if (previous_context)
        SDL_GL_MakeCurrent(previous_window, previous_context);
    else
        SDL_GL_MakeCurrent(d->owner->sdl, nullptr);
    return add_context(sdl, nullptr);
}

gl_context* create_shared_offscreen_context(int format_index, int width, int height,
                                            device** surface) {
    if (!g_current_context || format_index <= 0 ||
        format_index > static_cast<int>(g_formats.size()))
        return nullptr;
    SDL_Window* previous_window = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous_context = SDL_GL_GetCurrentContext();
    SDL_Window* hidden = create_sdl_window("offscreen", 0, 0, width, height, 0,
                                           g_formats[format_index - 1].format);
    if (!hidden) return nullptr;
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    SDL_GLContext sdl = SDL_GL_CreateContext(hidden);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    SDL_GL_MakeCurrent(previous_window, previous_context);
    if (!sdl) {
        g_error = SDL_GetError();
        SDL_DestroyWindow(hidden);
        return nullptr;
    }
    auto* w = new window;
    w->class_name = "offscreen";
    w->width = width;
    w->height = height;
    w->sdl = hidden;
    w->surface.owner = w;
    w->surface.format = format_index;
    if (surface) *surface = &w->surface;
    return add_context(sdl, w);
}

bool make_current(device* d, gl_context* c) {
    if (!c) {
        // Nothing is current without the video subsystem, so there is nothing to release.
        if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GL_MakeCurrent(nullptr, nullptr) != 0) {
            g_error = SDL_GetError();
            return false;
        }
        g_current_device = nullptr;
        g_current_context = nullptr;
        return !injected_failure(test_hooks::call::release_context);
    }
    if (!d || !d->owner || !d->owner->sdl) return false;
    if (SDL_GL_MakeCurrent(d->owner->sdl, c->sdl) != 0) {
        g_error = SDL_GetError();
        return false;
    }
    g_current_device = d;
    g_current_context = c;
    return true;
}

bool delete_context(gl_context* c) {
    const auto live = std::find(g_contexts.begin(), g_contexts.end(), c);
    if (!c || live == g_contexts.end()) {
        g_error = "not a live GL context";
        return false;
    }
    // SDL releases a current context before deleting it, whatever the release reports.
    if (g_current_context == c && !make_current(nullptr, nullptr)) {
        g_current_device = nullptr;
        g_current_context = nullptr;
    }
    g_contexts.erase(live);
    SDL_GL_DeleteContext(c->sdl);
    if (c->hidden_owner) {
        SDL_DestroyWindow(c->hidden_owner->sdl);
        delete c->hidden_owner;
    }
    delete c;
    return !injected_failure(test_hooks::call::delete_context);
}

device* current_device() { return g_current_device; }
gl_context* current_context() { return g_current_context; }

bool swap_buffers(device* d) {
    if (!d || !d->owner || !d->owner->sdl) return false;
    ++g_swap_count;
    const run_settings& s = settings();
    if (g_current_device == d) {
        // The first frame that cannot be written ends the run: the frames
        // asked for would be lost.
        if (!g_capture_failed && wants_capture(g_swap_count) &&
            !capture_frame(d->owner->sdl, g_swap_count)) {
            g_capture_failed = true;
            post_quit_message(exit_code_frame_not_written);
        }
        // Off-screen, nothing throttles the frames: without a finish per frame the
        // software rasteriser queues them without bound.
        if (s.headless) finish_gl();
    }
    SDL_GL_SwapWindow(d->owner->sdl);
    advance_virtual_clock();
    if (s.press_escape_at > 0 && g_swap_count == s.press_escape_at) {
        // A person pressing Escape and holding it: the show fades out.
        message m;
        m.kind = message_kind::key_down;
        m.key = vk::escape;
        m.target = d->owner;
        g_queue.push_back(m);
    }
    if (s.max_passes > 0 && g_swap_count == s.max_passes) {
        message m;
        m.kind = message_kind::close;
        m.target = d->owner;
        g_queue.push_back(m);
    }
    return true;
}

bool set_swap_interval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0; }

const char* window_system_extensions() {
    // The window layer offers exact format choice and shared off-screen surfaces
    // everywhere, and multisample formats wherever the GL beneath offers them.
    static std::string extensions;
    extensions = "WGL_ARB_extensions_string WGL_ARB_pixel_format WGL_ARB_pbuffer";
    const char* gl = gl_extensions_string();
    if (gl && std::string(gl).find("GL_ARB_multisample") != std::string::npos)
        extensions += " WGL_ARB_multisample";
    return extensions.c_str();
}

const char* last_error() { return g_error.c_str(); }

bool peek_message(message& m) {
    if (!g_queue.empty()) {
        m = g_queue.front();
        g_queue.pop_front();
        return true;
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        message translated;
        if (translate(e, translated)) {
            m = translated;
            return true;
        }
    }
    return false;
}

const char* message_name(message_kind kind) {
    switch (kind) {
        case message_kind::quit: return "quit";
        case message_kind::activate: return "activate";
        case message_kind::close: return "close";
        case message_kind::key_down: return "key_down";
        case message_kind::key_up: return "key_up";
        case message_kind::size: return "size";
        case message_kind::mouse_wheel: return "mouse_wheel";
        case message_kind::middle_button_down: return "middle_button_down";
        case message_kind::other_button_down: return "other_button_down";
        case message_kind::mouse_move: return "mouse_move";
        case message_kind::system_screensave: return "system_screensave";
    }
    return "?";
}

long dispatch_message(const message& m) {
    if (settings().trace_messages)
        std::fprintf(stderr, "message %s key=%d size=%dx%d minimized=%d wheel=%d\n",
                     message_name(m.kind), m.key, m.width, m.height, m.minimized ? 1 : 0, m.wheel);
    if (!m.target) return 0;
    auto it = g_classes.find(m.target->class_name);
    if (it == g_classes.end()) return 0;
    return it->second(m.target, m);
}

void post_quit_message(int code) {
    message m;
    m.kind = message_kind::quit;
    m.code = code;
    g_queue.push_back(m);
}

long default_window_procedure(window*, const message&) { return 0; }

void show_cursor(bool visible) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool enum_display_settings(int index, int& width, int& height) {
    if (!ensure_video() || index < 0) return false;
    SDL_DisplayMode mode;
    if (index >= SDL_GetNumDisplayModes(0) || SDL_GetDisplayMode(0, index, &mode) != 0) return false;
    width = mode.w;
    height = mode.h;
    return true;
}

bool change_display_settings(int width, int height, int) {
    g_display_mode = {};
    int w = 0, h = 0;
    for (int i = 0; enum_display_settings(i, w, h); ++i) {
        if (w == width && h == height) {
            g_display_mode = {true, width, height};
            return true;
        }
    }
    return false;
}

void restore_display_settings() { g_display_mode = {}; }

void test_hooks::fail_next(call which) { g_failing_calls.push_back(which); }

}  // namespace platform
