#include "gl_test_window.hpp"

#include "platform/run_settings.hpp"

#include <SDL.h>

#include <cstdlib>

namespace {

long test_window_procedure(platform::window*, const platform::message&) { return 0; }

gl_test_window make() {
  gl_test_window t;
  // Message boxes print instead of blocking, also under an X server (unless
  // the run asks otherwise); read once, so set before the first use.
  setenv("QUILLMERE_MESSAGES", "stderr", 0);
  // SDL is never shut down: that would unload the GL driver before
  // LeakSanitizer looks, and the driver's own allocations would then show up
  // as leaks of no module.
  if (platform::settings().headless) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return t;
  const char* class_name = "render_gl_test";
  if (!platform::register_window_class(class_name, &test_window_procedure)) return t;
  t.window = platform::create_window(class_name, "render test", 0, 0, gl_test_window::size,
                                     gl_test_window::size, false);
  if (!t.window) return t;
  t.device = platform::get_device(t.window);
  platform::pixel_format f;
  f.color_bits = 32;
  f.alpha_bits = 8;
  f.depth_bits = 24;
  const int format = platform::choose_pixel_format(t.device, f);
  if (format == 0 || !platform::set_pixel_format(t.device, format)) return t;
  t.context = platform::create_context(t.device);
  if (t.context) t.make_current();
  return t;
}

}  // namespace

gl_test_window& gl_test_window::get() {
  static gl_test_window instance = make();
  return instance;
}

void gl_test_window::make_current() const {
  platform::make_current(device, context);
  glViewport(0, 0, size, size);
}

std::vector<unsigned char> gl_test_window::read_pixels() const {
  std::vector<unsigned char> pixels(size * size * 4);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}
