#pragma once
// Windows, pixel formats, GL contexts and window messages: the narrow set of
// operations the shell's window code and message loop need, on SDL2 and Mesa.
#include <string>

namespace platform {

struct window;       // a top-level window
struct device;       // the drawing surface of a window (one per window)
struct gl_context;   // an OpenGL rendering context

// Virtual-key codes the shell looks at; letters and digits are their upper-case ASCII.
namespace vk {
constexpr int escape = 0x1B;
constexpr int left = 0x25;
constexpr int up = 0x26;
constexpr int right = 0x27;
constexpr int down = 0x28;
}  // namespace vk

enum class message_kind {
    quit,                // leaves the message loop; `code` is the exit code
    activate,            // `minimized` tells whether the window is minimised
    close,               // the user asked to close the window
    key_down,            // `key` is a virtual-key code
    key_up,
    size,                // `width` x `height` is the new client (drawable) size
    mouse_wheel,         // `wheel` steps, positive away from the user
    middle_button_down,
    other_button_down,
    mouse_move,
    system_screensave,   // a screen saver or monitor power-down wants to start
};

struct message {
    message_kind kind = message_kind::quit;
    window* target = nullptr;
    int key = 0;
    int width = 0;
    int height = 0;
    bool minimized = false;
    int wheel = 0;
    int code = 0;
};

using window_procedure = long (*)(window*, const message&);

// What a window's pixel format asks for. Formats are identified by positive
// indices, as returned by the choose functions.
struct pixel_format {
    int color_bits = 32;
    int alpha_bits = 0;
    int depth_bits = 16;
    int stencil_bits = 0;
    bool double_buffer = true;
    int samples = 0;          // > 0: a multisample format with that many samples
};

bool register_window_class(const std::string& name, window_procedure procedure);
bool unregister_window_class(const std::string& name);

// Creates a hidden window of the given outer rectangle. `popup` asks for a
// borderless window that covers the screen in the display mode set with
// change_display_settings. The window gets its surface when its pixel format is set.
window* create_window(const std::string& class_name, const std::string& caption, int x, int y,
                      int width, int height, bool popup);
bool destroy_window(window* w);
// Shows the window. A popup window made while a display mode was set switches
// the display to that mode here: false when that switch fails (the window is
// then shown, but not full screen).
bool show_window(window* w);
// Turns a popup window whose switch failed into an ordinary window at (x, y).
void make_windowed(window* w, int x, int y);
void focus_window(window* w);
// Client size of a window whose frame was added by the window manager: the
// platform windows carry no frame of their own, so the outer size is the client size.
void adjust_window_rect(int& width, int& height, bool popup);
// The drawable size in pixels, which can differ from the requested size on
// some displays (a full-screen window under a virtual X server).
void drawable_size(window* w, int& width, int& height);

device* get_device(window* w);
bool release_device(window* w, device* d);
// Closest available match, like a driver's own choice: never fails while a GL exists.
int choose_pixel_format(device* d, const pixel_format& format);
// Exact choice: 0 when the driver offers no such format (tried on a hidden probe surface).
int choose_pixel_format_exact(const pixel_format& format);
bool set_pixel_format(device* d, int format_index);
int samples_of_current_surface();

gl_context* create_context(device* d);
// A context on an off-screen surface of its own (hidden, width x height) that
// shares display lists and textures with the current context.
gl_context* create_shared_offscreen_context(int format_index, int width, int height,
                                            device** surface);
// make_current(nullptr, nullptr) releases the current context.
bool make_current(device* d, gl_context* c);
// False for a handle that is not a live context.
bool delete_context(gl_context* c);
device* current_device();
gl_context* current_context();
bool swap_buffers(device* d);
bool set_swap_interval(int interval);
// Extensions of the window system layer, in the driver's blank-separated form.
const char* window_system_extensions();
const char* last_error();

// Messages: non-blocking, one at a time.
bool peek_message(message& m);
// Dispatches to the window's class procedure; QUILLMERE_TRACE_MESSAGES=1 logs each one.
long dispatch_message(const message& m);
void post_quit_message(int code);
const char* message_name(message_kind kind);
long default_window_procedure(window* w, const message& m);

void show_cursor(bool visible);

// Display modes of the primary display.
bool enum_display_settings(int index, int& width, int& height);
// Asks for a display mode: false when the display does not list it. The switch
// itself happens when a popup window goes up (show_window).
bool change_display_settings(int width, int height, int bits_per_pixel);
void restore_display_settings();

// For tests only: the next call of `which` does its work but reports failure, as
// SDL does when it refuses, so the callers' failure paths can be driven.
namespace test_hooks {
enum class call { display_switch, release_context, delete_context };
void fail_next(call which);
}  // namespace test_hooks

}  // namespace platform
