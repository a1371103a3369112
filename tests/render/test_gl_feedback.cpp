// The shipped GL path of the drawing helpers (no recorder installed), checked
// on an off-screen OpenGL context in feedback mode: what reaches OpenGL is
// what the recorder-based tests see. Skipped when no context can be made.
#include "render/camera_frame.hpp"
#include "render/gl_emit.hpp"
#include "render/quads.hpp"
#include "render/spline_path.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr int k_size = 64;

class GlFeedback : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return;
    window_ = SDL_CreateWindow("test_render", 0, 0, k_size, k_size, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) return;
    context_ = SDL_GL_CreateContext(window_);
  }
  // The context, the window and SDL are kept until the process exits: shutting
  // them down unloads the Mesa driver, whose remaining allocations then show up
  // as leaks of an unknown module under LeakSanitizer.
  void SetUp() override {
    if (context_ == nullptr) GTEST_SKIP() << "no off-screen OpenGL context: " << SDL_GetError();
    SDL_GL_MakeCurrent(window_, context_);
    ASSERT_EQ(g_gl_recorder, nullptr);
    // Window coordinates equal object coordinates in x and y.
    glViewport(0, 0, k_size, k_size);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, k_size, 0, k_size, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
  }

  // Runs draw in feedback mode and returns the (x, y) of every vertex of
  // every polygon OpenGL produced, rounded to 1/1000.
  template <class F>
  static std::set<std::pair<long, long>> feedback_vertices(F draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    std::set<std::pair<long, long>> out;
    for (GLint i = 0; i < n;) {
      const auto token = static_cast<GLint>(buffer[i++]);
      if (token == GL_POLYGON_TOKEN) {
        const auto count = static_cast<GLint>(buffer[i++]);
        for (GLint k = 0; k < count; ++k, i += 3) out.insert(key(buffer[i], buffer[i + 1]));
      } else if (token == GL_PASS_THROUGH_TOKEN) {
        i += 1;
      } else {
        ADD_FAILURE() << "unexpected feedback token " << token;
        break;
      }
    }
    return out;
  }

  static std::pair<long, long> key(double x, double y) {
    return {std::lround(x * 1000.0), std::lround(y * 1000.0)};
  }

  template <class F>
  static std::set<std::pair<long, long>> recorded_vertices(F draw) {
    gl_recorder rec;
    {
      gl_recording scope(rec);
      draw();
    }
    std::set<std::pair<long, long>> out;
    for (const gl_call& c : rec.calls)
      if (c.op == gl_call::kind::vertex3f) out.insert(key(c.a[0], c.a[1]));
    return out;
  }

  static inline SDL_Window* window_ = nullptr;
  static inline SDL_GLContext context_ = nullptr;
};

}  // namespace

TEST_F(GlFeedback, RibbonReachesOpenGL) {
  spline_path p;
  p.closed = false;
  for (int i = 0; i < 8; ++i) {
    const vec3 v{1, 10.0f + 4.0f * static_cast<float>(i), 30.0f + (i % 2 ? 2.0f : 0.0f), 0.0f};
    const float w = 1.0f + 0.25f * static_cast<float>(i);
    p.append(&v, &w);
  }
  const vec3 tex{1, 0.0f, 0.0f, 0.0f};
  auto draw = [&] { draw_path_ribbon(&p, 0.5, 6.5, &tex, 0.15, 0.5, 0.0, -1.0); };
  const auto recorded = recorded_vertices(draw);
  const auto drawn = feedback_vertices(draw);
  EXPECT_EQ(recorded.size(), 14u);  // 7 pairs: start at 0.5, inner 1 to 5, end at 5.5
  EXPECT_EQ(drawn, recorded);
}

TEST_F(GlFeedback, TexturedQuadReachesOpenGL) {
  auto draw = [] {
    glPushMatrix();
    glTranslatef(32, 32, 0);
    const double angle = 90, sx = -10, sy = 5;
    draw_textured_quad(&angle, &sx, &sy);
    glPopMatrix();
  };
  const auto drawn = feedback_vertices(draw);
  // Rotated by 90 degrees after the (10, 5) scale: corners at (32 -+ 5, 32 -+ 10).
  const std::set<std::pair<long, long>> want = {key(37, 22), key(37, 42), key(27, 42), key(27, 22)};
  EXPECT_EQ(drawn, want);
}

TEST_F(GlFeedback, CameraApplyLooksFromTheEye) {
  camera_frame cam;
  const double v[9] = {3, -2, 5, 0, 1, 0, 0, 0, 1};
  cam.set(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8]);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  cam.apply();
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);  // column-major
  auto apply = [&](double x, double y, double z, int row) {
    return m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
  };
  // The eye goes to the origin, the centre onto the -z axis.
  for (int r = 0; r < 3; ++r) EXPECT_NEAR(apply(3, -2, 5, r), 0.0, 1e-5);
  EXPECT_NEAR(apply(0, 1, 0, 0), 0.0, 1e-5);
  EXPECT_NEAR(apply(0, 1, 0, 1), 0.0, 1e-5);
  EXPECT_NEAR(apply(0, 1, 0, 2), -std::sqrt(9.0 + 9.0 + 25.0), 1e-5);
  glLoadIdentity();
}
