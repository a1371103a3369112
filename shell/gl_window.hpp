#pragma once
// The show window and its OpenGL context.
#include <string>

#include "platform/window.hpp"

extern platform::window* g_hwnd;
extern platform::device* g_hdc;
extern platform::gl_context* g_hrc;
extern bool g_multisample_available;
extern int g_multisample_pixel_format;

// Samples the build asks for: 8 or 4 in the multisample builds, 0 in the plain one.
extern const int k_build_multisample_samples;

bool create_gl_window(const std::string& caption, int width, int height, int colour_bits,
                      bool fullscreen);
void kill_gl_window();
void resize_gl_scene(int width, int height);
bool init_gl_state();
bool has_gl_extension(const char* name);
bool choose_multisample_pixel_format(platform::window* w);

// Whether a blank-separated extension list names `name` as a whole word.
bool extension_listed(const char* list, const char* name);
// The pixel format every window starts from.
platform::pixel_format plain_pixel_format();
