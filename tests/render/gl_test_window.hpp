// One hidden window with a GL context through the platform layer, made once
// per process and kept until it exits (shutting Mesa down early shows its
// remaining allocations as leaks). Off-screen when there is no display.
#pragma once

#include "platform/window.hpp"

#include <GL/gl.h>

#include <vector>

struct gl_test_window {
  static constexpr int size = 64;

  platform::window* window = nullptr;
  platform::device* device = nullptr;
  platform::gl_context* context = nullptr;

  // The shared instance; context is null when no GL could be made.
  static gl_test_window& get();
  // Makes the window's context current again and sets a size x size viewport.
  void make_current() const;
  // RGBA pixels of the read buffer, bottom row first.
  std::vector<unsigned char> read_pixels() const;
};
