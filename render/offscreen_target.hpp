// The 1024 x 1024 off-screen target: a hidden surface with its own GL context
// that shares display lists and textures with the window's context, plus the
// window's surface and context as they were current when it was made. The
// show never draws into it; the render pass uses the window pair.
#pragma once

namespace platform {
struct device;
struct gl_context;
}  // namespace platform

struct offscreen_target {
  static constexpr int size = 1024;

  platform::device* pbuffer_dc = nullptr;      // the hidden surface
  platform::gl_context* pbuffer_rc = nullptr;  // its context, sharing with the window's
  platform::device* window_dc = nullptr;       // current when the target was made
  platform::gl_context* window_rc = nullptr;
  // The off-screen surface itself; on this platform the surface and its
  // device are one object, so this equals pbuffer_dc.
  platform::device* pbuffer = nullptr;

  // Needs the window's context current. Makes the shared context, records the
  // window pair and resets a block of GL state in the window's context. With
  // no current context, no matching pixel format or no shared context it
  // ends the program (fatal_exit, after the window teardown).
  void create();
};

extern offscreen_target g_offscreen_target;
