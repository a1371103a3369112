#pragma once
// The message loop, the window procedure and the keyboard state.
#include <string>

#include "platform/window.hpp"

extern bool g_keys[256];
extern bool g_active;
extern bool g_quitting;
extern double g_quit_time;
extern double g_demo_time;
extern std::string g_capture_text;

long window_proc(platform::window* w, const platform::message& m);
// Runs until a quit message arrives; returns its exit code.
int run_message_loop();
// Appends the camera values of the moment to the capture text (middle button).
void capture_camera();
