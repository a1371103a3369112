#include "offscreen_target.hpp"

#include "fatal_exit.hpp"

#include "platform/window.hpp"

#include <GL/gl.h>

#include <cstdio>

offscreen_target g_offscreen_target;

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "off-screen target: %s\n", what);
  fatal_exit(exit_code_no_offscreen);
}

// Draw-to-surface, 32 colour bits, 24 depth, 8 stencil, 4 samples: the same
// in every build of the program.
platform::pixel_format offscreen_format() {
  platform::pixel_format f;
  f.color_bits = 32;
  f.alpha_bits = 0;
  f.depth_bits = 24;
  f.stencil_bits = 8;
  f.double_buffer = false;
  f.samples = 4;
  return f;
}

// Undoes the state the shell set before (depth test among it); the render
// pass sets what it needs every frame.
void reset_window_state() {
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_DITHER);
  glDisable(GL_FOG);
  glDisable(GL_LIGHTING);
  glDisable(GL_INDEX_LOGIC_OP);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_TEXTURE_1D);
  glDisable(GL_TEXTURE_2D);
  glPixelTransferi(GL_MAP_COLOR, 0);
  glPixelTransferi(GL_RED_SCALE, 1);
  glPixelTransferi(GL_RED_BIAS, 0);
  glPixelTransferi(GL_GREEN_SCALE, 1);
  glPixelTransferi(GL_GREEN_BIAS, 0);
  glPixelTransferi(GL_BLUE_SCALE, 1);
  glPixelTransferi(GL_BLUE_BIAS, 0);
  glPixelTransferi(GL_ALPHA_SCALE, 1);
  glPixelTransferi(GL_ALPHA_BIAS, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
}

}  // namespace

void offscreen_target::create() {
  if (!platform::current_device() || !platform::current_context()) fail("no current context");
  const int format = platform::choose_pixel_format_exact(offscreen_format());
  if (format == 0) fail("no matching pixel format");
  platform::device* surface = nullptr;
  platform::gl_context* context =
      platform::create_shared_offscreen_context(format, size, size, &surface);
  if (!context) fail(platform::last_error());
  pbuffer = surface;
  pbuffer_dc = surface;
  pbuffer_rc = context;
  window_dc = platform::current_device();
  window_rc = platform::current_context();
  reset_window_state();
}
