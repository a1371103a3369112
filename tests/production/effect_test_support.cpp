#include "effect_test_support.hpp"

#include "render/scene_context.hpp"

#include <SDL.h>

namespace effect_test {

namespace {

struct gl_context_holder {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
};

// Kept until the process exits: shutting Mesa down early shows its remaining
// allocations as leaks.
gl_context_holder& holder() {
  static gl_context_holder h = [] {
    gl_context_holder made;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return made;
    made.window = SDL_CreateWindow("effect tests", 0, 0, 64, 64,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (made.window) made.context = SDL_GL_CreateContext(made.window);
    return made;
  }();
  return h;
}

}  // namespace

bool make_gl_current() {
  gl_context_holder& h = holder();
  if (!h.context) return false;
  SDL_GL_MakeCurrent(h.window, h.context);
  return true;
}

scene_context* test_scene() {
  static std::unique_ptr<scene_context> scene = std::make_unique<scene_context>();
  return scene.get();
}

std::vector<gl_call> record(const std::function<void()>& draw) {
  gl_recorder rec;
  {
    gl_recording scope(rec);
    draw();
  }
  return rec.calls;
}

std::vector<primitive> primitives(const std::vector<gl_call>& calls) {
  std::vector<primitive> out;
  primitive* open = nullptr;
  for (const gl_call& c : calls) {
    switch (c.op) {
      case gl_call::kind::begin:
        out.push_back({c.mode, {}, {}, {}});
        open = &out.back();
        break;
      case gl_call::kind::end:
        open = nullptr;
        break;
      case gl_call::kind::vertex3f:
        if (open) open->vertices.push_back(c);
        break;
      case gl_call::kind::tex_coord2f:
        if (open) open->tex_coords.push_back(c);
        break;
      case gl_call::kind::color3f:
        if (open) open->colours.push_back(c);
        break;
      default:
        break;
    }
  }
  return out;
}

int count_calls(const std::vector<gl_call>& calls, gl_call::kind kind, GLenum mode) {
  int n = 0;
  for (const gl_call& c : calls)
    if (c.op == kind && (mode == 0 || c.mode == mode)) ++n;
  return n;
}

int draws_made(std::uint32_t seed, const std::function<void()>& routine, int limit) {
  qm_srand(seed);
  record(routine);
  const std::uint32_t after = qm_random_state();
  qm_srand(seed);
  for (int n = 0; n <= limit; ++n) {
    if (qm_random_state() == after) return n;
    qm_rand();
  }
  return -1;
}

}  // namespace effect_test
