// The rendering kit on a real GL context (llvmpipe off-screen when there is
// no display): the off-screen target and its sharing, the card check, the
// render pass's state contract and shader calls, and the outline display lists.
#include "render/fatal_exit.hpp"
#include "render/offscreen_target.hpp"
#include "render/outline_tessellator.hpp"
#include "render/render_pass.hpp"
#include "render/render_size.hpp"
#include "render/scene_context.hpp"

#include "gl_test_window.hpp"
#include "outline_bytes.hpp"

#include "platform/shader_runtime.hpp"
#include "platform/window.hpp"

#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace shader = platform::shader;

struct fatal_exit_called {
  int code;
};
void throwing_teardown(int code) { throw fatal_exit_called{code}; }

using matrix16 = std::array<GLdouble, 16>;

matrix16 get_matrix(GLenum which) {
  matrix16 m{};
  glGetDoublev(which, m.data());
  return m;
}

void expect_matrix_near(const matrix16& a, const matrix16& b, const char* what) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], 1e-5) << what << " element " << i;
}

GLint get_int(GLenum name) {
  GLint v = 0;
  glGetIntegerv(name, &v);
  return v;
}

class RenderGl : public testing::Test {
 protected:
  void SetUp() override {
    gl_test_window& w = gl_test_window::get();
    if (!w.context) GTEST_SKIP() << "no OpenGL context: " << platform::last_error();
    w.make_current();
    previous_hook_ = set_fatal_teardown_hook(&throwing_teardown);
    while (glGetError() != GL_NO_ERROR) {
    }
  }
  void TearDown() override {
    set_fatal_teardown_hook(previous_hook_);
    if (gl_test_window::get().context) {
      gl_test_window::get().make_current();
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
  }

  // The target is made once, from the test window's context.
  static offscreen_target& target() {
    static offscreen_target t = [] {
      offscreen_target made;
      made.create();
      return made;
    }();
    return t;
  }

 private:
  fatal_teardown_hook previous_hook_ = nullptr;
};

// ---------------------------------------------------------------------------
// Off-screen target and card check

TEST_F(RenderGl, OffscreenTargetSharesListsAndTexturesWithTheWindow) {
  offscreen_target& t = target();
  ASSERT_NE(t.pbuffer_rc, nullptr);
  ASSERT_NE(t.pbuffer_dc, nullptr);
  EXPECT_EQ(t.window_dc, gl_test_window::get().device);
  EXPECT_EQ(t.window_rc, gl_test_window::get().context);

  // Made after the target, in the window's context.
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glEndList();
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  ASSERT_TRUE(platform::make_current(t.pbuffer_dc, t.pbuffer_rc));
  EXPECT_TRUE(glIsList(list));
  EXPECT_TRUE(glIsTexture(texture));
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], offscreen_target::size);
  EXPECT_EQ(viewport[3], offscreen_target::size);
}

TEST_F(RenderGl, OffscreenTargetResetsTheWindowState) {
  offscreen_target t;
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  t.create();
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_DITHER));
  EXPECT_EQ(get_int(GL_PACK_ALIGNMENT), 4);
  EXPECT_EQ(platform::current_context(), gl_test_window::get().context);
  platform::delete_context(t.pbuffer_rc);
}

TEST_F(RenderGl, OffscreenTargetWithoutAContextEndsAfterTheTeardown) {
  platform::make_current(nullptr, nullptr);
  offscreen_target t;
  try {
    t.create();
    FAIL() << "create returned without a context";
  } catch (const fatal_exit_called& e) {
    EXPECT_EQ(e.code, exit_code_no_offscreen);
  }
  EXPECT_EQ(t.pbuffer_rc, nullptr);
}

TEST_F(RenderGl, CardCheckOnThisDriverMatchesTheTableAndWarnsOnlyForSlowCards) {
  auto scene = std::make_unique<scene_context>();
  const char* vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  testing::internal::CaptureStderr();
  scene->check_graphics_card();
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(scene->slow_card_code, 0) << renderer;
  EXPECT_EQ(scene->ati_card, std::string(vendor ? vendor : "").find("ATI") != std::string::npos);
  EXPECT_EQ(printed.find("Slow graphics card"), std::string::npos) << printed;
}

// ---------------------------------------------------------------------------
// Render pass

struct pass_observation {
  int calls = 0;
  scene_context* scene = nullptr;
  bool blend = true, cull = false, depth = false, texture_2d = true;
  GLint cull_mode = 0, matrix_mode = 0, modelview_depth = 0;
  std::size_t shader_calls = 0;   // recorded before the callback ran
  matrix16 modelview{}, projection{}, texture{};
};
pass_observation g_seen;
const shader::call_recorder* g_recorder = nullptr;

void observing_callback(scene_context* scene) {
  g_seen.calls++;
  g_seen.scene = scene;
  g_seen.blend = glIsEnabled(GL_BLEND);
  g_seen.cull = glIsEnabled(GL_CULL_FACE);
  g_seen.depth = glIsEnabled(GL_DEPTH_TEST);
  g_seen.texture_2d = glIsEnabled(GL_TEXTURE_2D);
  g_seen.cull_mode = get_int(GL_CULL_FACE_MODE);
  g_seen.matrix_mode = get_int(GL_MATRIX_MODE);
  g_seen.modelview_depth = get_int(GL_MODELVIEW_STACK_DEPTH);
  g_seen.shader_calls = g_recorder ? g_recorder->calls().size() : 0;
  g_seen.modelview = get_matrix(GL_MODELVIEW_MATRIX);
  g_seen.projection = get_matrix(GL_PROJECTION_MATRIX);
  g_seen.texture = get_matrix(GL_TEXTURE_MATRIX);
}

// The matrix GL builds from the given calls on an identity.
template <class F>
matrix16 built_matrix(F calls) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  calls();
  const matrix16 m = get_matrix(GL_MODELVIEW_MATRIX);
  glPopMatrix();
  return m;
}

struct stack_depths {
  GLint modelview, projection, texture, attrib, client_attrib;
  static stack_depths now() {
    return {get_int(GL_MODELVIEW_STACK_DEPTH), get_int(GL_PROJECTION_STACK_DEPTH),
            get_int(GL_TEXTURE_STACK_DEPTH), get_int(GL_ATTRIB_STACK_DEPTH),
            get_int(GL_CLIENT_ATTRIB_STACK_DEPTH)};
  }
  void expect_equal(const stack_depths& o) const {
    EXPECT_EQ(modelview, o.modelview);
    EXPECT_EQ(projection, o.projection);
    EXPECT_EQ(texture, o.texture);
    EXPECT_EQ(attrib, o.attrib);
    EXPECT_EQ(client_attrib, o.client_attrib);
  }
};

class RenderPass : public RenderGl {
 protected:
  void SetUp() override {
    RenderGl::SetUp();
    if (IsSkipped()) return;
    scene_ = std::make_unique<scene_context>();
    target();  // made before the state below, since it resets some of it
    gl_test_window::get().make_current();
    g_render_width = 64;
    g_render_height = 32;
    g_seen = {};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  void run_pass(draw_callback draw, const camera_frame* camera, std::uint8_t flag = 0,
                int copy_width = 800, int copy_slot = 0) {
    render_cg_pass(scene_.get(), &target(), 0, draw, 0, 16, 0, camera, &scene_->light, flag,
                   copy_width, copy_slot);
  }

  std::unique_ptr<scene_context> scene_;
};

TEST_F(RenderPass, CallbackRunsOnceWithTheDocumentedStateAndEverythingIsRestored) {
  // State the pass must change or restore.
  glEnable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glViewport(1, 2, 30, 40);
  scene_->near_plane = 0.01;
  scene_->far_plane = 350.0;
  scene_->fov_offset = 5.0;
  scene_->pass_marker = 9;
  const stack_depths before = stack_depths::now();

  // A camera argument different from the context's own camera.
  camera_frame camera;
  const double v[9] = {1, 2, 3, 0, 0, 0, 0, 0, 1};
  camera.set(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8]);
  const matrix16 expected_modelview = built_matrix([&] { gluLookAt(1, 2, 3, 0, 0, 0, 0, 0, 1); });
  const matrix16 expected_projection =
      built_matrix([] { gluPerspective(80.0, 64.0 / 32.0, 0.01, 350.0); });
  const matrix16 expected_texture = built_matrix([] {
    glTranslatef(0.5f, 0.5f, 0.5f);
    glScalef(0.5f, 0.5f, 0.5f);
    gluPerspective(80.0, 64.0 / 32.0, 0.01, 350.0);
    gluLookAt(0, 0, 0, 0, 0, 0, 0, 0, 0);
  });

  run_pass(&observing_callback, &camera);

  EXPECT_EQ(g_seen.calls, 1);
  EXPECT_EQ(g_seen.scene, scene_.get());
  EXPECT_FALSE(g_seen.blend);
  EXPECT_TRUE(g_seen.cull);
  EXPECT_EQ(g_seen.cull_mode, GL_BACK);
  EXPECT_TRUE(g_seen.depth);
  EXPECT_FALSE(g_seen.texture_2d);
  EXPECT_EQ(g_seen.matrix_mode, GL_MODELVIEW);
  EXPECT_EQ(g_seen.modelview_depth, before.modelview + 2);
  expect_matrix_near(g_seen.modelview, expected_modelview, "model-view in the callback");
  expect_matrix_near(g_seen.projection, expected_projection, "projection in the callback");
  expect_matrix_near(g_seen.texture, expected_texture, "texture matrix in the callback");

  stack_depths::now().expect_equal(before);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_MODELVIEW);
  expect_matrix_near(get_matrix(GL_TEXTURE_MATRIX), built_matrix([] {}), "texture matrix after");
  expect_matrix_near(get_matrix(GL_PROJECTION_MATRIX), expected_projection, "projection after");
  EXPECT_EQ(scene_->pass_marker, 0);
  // Flag 0: the shell's viewport stays in force.
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 1);
  EXPECT_EQ(viewport[3], 40);
  EXPECT_EQ(platform::current_context(), gl_test_window::get().context);
}

TEST_F(RenderPass, ShaderGetsTheContextsCameraAndTheLightArgumentInOrder) {
  // Stand-in handles for program 3: the pass binds programs 3 and 4 and passes
  // on the parameter entries 3 * 16 + 5 and 6, which nothing looks up.
  int handles[4];
  scene_->cg_programs[3] = reinterpret_cast<shader::program>(&handles[0]);
  scene_->cg_programs[4] = reinterpret_cast<shader::program>(&handles[1]);
  scene_->cg_parameters[3 * 16 + 5] = reinterpret_cast<shader::parameter>(&handles[2]);
  scene_->cg_parameters[3 * 16 + 6] = reinterpret_cast<shader::parameter>(&handles[3]);
  // The context's camera, the camera argument and the light argument differ.
  const double own[9] = {4, 5, 6, 0, 0, 0, 0, 1, 0};
  scene_->set_camera(&own[0], &own[1], &own[2], &own[3], &own[4], &own[5], &own[6], &own[7],
                     &own[8]);
  camera_frame camera, light;
  const double c[9] = {1, 2, 3, 0, 0, 0, 0, 1, 0}, l[9] = {7, 8, 9, 0, 0, 0, 0, 1, 0};
  camera.set(&c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7], &c[8]);
  light.set(&l[0], &l[1], &l[2], &l[3], &l[4], &l[5], &l[6], &l[7], &l[8]);

  shader::call_recorder recorder;
  g_recorder = &recorder;
  render_cg_pass(scene_.get(), &target(), 0, &observing_callback, 0, 16, 3, &camera, &light, 0,
                 800, 0);
  g_recorder = nullptr;

  using kind = shader::call::kind;
  struct expected {
    kind what;
    const void* handle = nullptr;
    std::string name{};
    int profile = 0, matrix = 0;
    std::array<float, 3> xyz{};
  };
  const int fragment = shader::fragment_profile_arb, vertex = shader::vertex_profile_arb;
  const expected order[] = {
      {.what = kind::bind_program, .handle = &handles[0]},
      {.what = kind::bind_program, .handle = &handles[1]},
      {.what = kind::enable_profile, .profile = fragment},
      {.what = kind::enable_profile, .profile = vertex},
      {.what = kind::enable_profile, .profile = fragment},
      {.what = kind::enable_profile, .profile = vertex},
      {.what = kind::set_state_matrix_parameter, .handle = &handles[3],
       .matrix = shader::texture_matrix},
      {.what = kind::named_parameter, .handle = &handles[0], .name = "CameraPos"},
      {.what = kind::set_parameter_3f, .xyz = {4, 5, 6}},   // the context's camera
      {.what = kind::named_parameter, .handle = &handles[0], .name = "LightPos"},
      {.what = kind::set_parameter_3f, .xyz = {7, 8, 9}},   // the light argument
      {.what = kind::set_state_matrix_parameter, .handle = &handles[2],
       .matrix = shader::modelview_projection_matrix},
      // the callback runs here
      {.what = kind::disable_profile, .profile = fragment},
      {.what = kind::disable_profile, .profile = vertex},
  };
  const std::vector<shader::call>& calls = recorder.calls();
  ASSERT_EQ(calls.size(), std::size(order));
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const shader::call& got = calls[i];
    EXPECT_EQ(got.what, order[i].what) << i;
    EXPECT_EQ(got.handle, order[i].handle) << i;
    EXPECT_EQ(got.name, order[i].name) << i;
    EXPECT_EQ(got.profile, order[i].profile) << i;
    EXPECT_EQ(got.matrix, order[i].matrix) << i;
    EXPECT_EQ(got.transform, shader::matrix_identity) << i;
    EXPECT_EQ((std::array<float, 3>{got.x, got.y, got.z}), order[i].xyz) << i;
  }
  EXPECT_EQ(g_seen.calls, 1);
  EXPECT_EQ(g_seen.shader_calls, 12u);
}

TEST_F(RenderPass, NullCallbackStillClearsAndRestores) {
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 1, 1);
  const stack_depths before = stack_depths::now();
  run_pass(nullptr, &scene_->camera);
  stack_depths::now().expect_equal(before);
  const std::vector<unsigned char> pixels = gl_test_window::get().read_pixels();
  EXPECT_EQ(pixels[0], 0);
  EXPECT_EQ(pixels[2], 255);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(shader::profile_enabled(shader::vertex_profile_arb));
}

void leaves_projection_current(scene_context*) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
}

TEST_F(RenderPass, CallbackLeavingAnotherMatrixCurrentDoesNotUnbalanceTheStacks) {
  const stack_depths before = stack_depths::now();
  run_pass(&leaves_projection_current, &scene_->camera);
  stack_depths::now().expect_equal(before);
  EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_MODELVIEW);
}

GLuint make_texture(int size) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  std::vector<unsigned char> black(static_cast<std::size_t>(size * size * 4), 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, black.data());
  return name;
}

std::vector<unsigned char> texture_pixels(GLuint name, int size) {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(size * size * 4));
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

void clears_green(scene_context*) {
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

TEST_F(RenderPass, OffscreenFlagOneDrawsInTheTargetAndCopiesIntoBothSlots) {
  g_render_width = 64;
  g_render_height = 64;
  scene_->texture_base = 10;
  const GLuint first = make_texture(64);
  const GLuint second = make_texture(64);
  scene_->texture_names[10 + 3] = first;   // relative slot 3
  scene_->texture_names[90000] = second;   // absolute slot
  scene_->copy_to_texture = true;
  scene_->copy_texture_slot = 90000;

  run_pass(&clears_green, &scene_->camera, 1, 32, 3);
  EXPECT_EQ(platform::current_context(), target().pbuffer_rc);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 64);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  gl_test_window::get().make_current();
  const std::vector<unsigned char> a = texture_pixels(first, 64);
  EXPECT_EQ(a[1], 255);                        // first pixel copied
  EXPECT_EQ(a[(64 * 64 - 1) * 4 + 1], 255);    // the whole render size
  const std::vector<unsigned char> b = texture_pixels(second, 64);
  EXPECT_EQ(b[1], 255);                        // inside the 32 x 32 second copy
  EXPECT_EQ(b[(31 * 64 + 31) * 4 + 1], 255);
  EXPECT_EQ(b[(32 * 64 + 32) * 4 + 1], 0);     // outside it
}

TEST_F(RenderPass, OffscreenFlagTwoSelectsTheTargetButCopiesNothing) {
  g_render_width = 64;
  g_render_height = 64;
  const GLuint slot_texture = make_texture(64);
  scene_->texture_names[0] = slot_texture;
  run_pass(&clears_green, &scene_->camera, 2, 800, 0);
  EXPECT_EQ(platform::current_context(), target().pbuffer_rc);
  gl_test_window::get().make_current();
  EXPECT_EQ(texture_pixels(slot_texture, 64)[1], 0);
}

TEST_F(RenderPass, OffscreenProjectionIsSquareAndSelectsTheWindow) {
  scene_->near_plane = 0.01;
  scene_->far_plane = 350.0;
  platform::make_current(target().pbuffer_dc, target().pbuffer_rc);
  set_offscreen_projection(scene_.get(), &target());
  EXPECT_EQ(platform::current_context(), gl_test_window::get().context);
  expect_matrix_near(get_matrix(GL_PROJECTION_MATRIX),
                     built_matrix([] { gluPerspective(75.0, 1.0, 0.01, 350.0); }), "projection");
  expect_matrix_near(get_matrix(GL_MODELVIEW_MATRIX), built_matrix([] {}), "model-view");
}

// ---------------------------------------------------------------------------
// Outline display lists

class OutlineLists : public RenderGl {
 protected:
  void SetUp() override {
    RenderGl::SetUp();
    if (IsSkipped()) return;
    dir_ = std::filesystem::temp_directory_path() /
           ("outline_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    // Outline units map onto the window: (-30000, 30000) spans it.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
    RenderGl::TearDown();
  }

  std::string write(const std::string& name, const outline_bytes& b) {
    const std::string path = (dir_ / name).string();
    b.write(path);
    return path;
  }

  // Lit pixels after drawing the list in white on black.
  static int lit_pixels(GLuint list) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    call_display_list(static_cast<std::int32_t>(list));
    const std::vector<unsigned char> pixels = gl_test_window::get().read_pixels();
    int lit = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) lit += pixels[i] > 128;
    return lit;
  }

  // The vertices GL receives from the list, in feedback mode: (x, y) in
  // outline units of the window's ortho projection.
  static std::vector<std::array<float, 2>> list_vertices(GLuint list) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    call_display_list(static_cast<std::int32_t>(list));
    const GLint n = glRenderMode(GL_RENDER);
    std::vector<std::array<float, 2>> out;
    for (GLint i = 0; i < n;) {
      const auto token = static_cast<GLint>(buffer[i++]);
      if (token != GL_POLYGON_TOKEN) {
        ADD_FAILURE() << "unexpected token " << token;
        break;
      }
      const auto count = static_cast<GLint>(buffer[i++]);
      for (GLint k = 0; k < count; ++k, i += 2) {
        const float half = gl_test_window::size / 2.0f;
        out.push_back({(buffer[i] - half) / half, (buffer[i + 1] - half) / half});
      }
    }
    return out;
  }

  // Runs the reader and expects it to end the program with the asset code and
  // a message naming the file, leaving no list open.
  template <class Reader>
  void expect_refused(Reader reader, const std::string& path, const char* reason) {
    std::int32_t count = -99;
    testing::internal::CaptureStderr();
    try {
      reader(path.c_str(), &count, 500, 1.0);
      ADD_FAILURE() << "reader returned for " << path;
    } catch (const fatal_exit_called& e) {
      EXPECT_EQ(e.code, exit_code_bad_asset);
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find(path), std::string::npos) << printed;
    EXPECT_NE(printed.find(reason), std::string::npos) << printed;
    EXPECT_EQ(count, -99);
    EXPECT_EQ(get_int(GL_LIST_INDEX), 0);
    EXPECT_FALSE(glIsList(500));
  }

  std::filesystem::path dir_;
};

// Lit pixels in the left and right halves of the window.
std::pair<int, int> lit_halves(const std::vector<unsigned char>& pixels) {
  int left = 0, right = 0;
  const int n = gl_test_window::size;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      if (pixels[static_cast<std::size_t>((y * n + x) * 4)] > 128) (x < n / 2 ? left : right)++;
  return {left, right};
}

TEST_F(OutlineLists, PositiveWindingFillsTheCounterClockwiseLobeOnly) {
  // A bow tie: the larger left lobe is wound counter-clockwise, the right one
  // clockwise. GLU orients the contour by its total area, which is positive.
  const std::vector<std::pair<int, int>> bow_tie{{-18000, -18000}, {9000, 9000}, {9000, -9000},
                                                 {-18000, 18000}};
  outline_bytes b;
  b.header(2);
  b.i32(1).shape(0.0, bow_tie);
  b.i32(1).shape(0.0, std::vector<std::pair<int, int>>(bow_tie.rbegin(), bow_tie.rend()));
  std::int32_t count = 0;
  EXPECT_EQ(outline_tessellator::build_lists(write("bow_tie.bin", b).c_str(), &count, 40, 1.0), 0);
  EXPECT_EQ(count, 2);
  for (GLuint list : {40u, 41u}) {
    lit_pixels(list);
    const auto [left, right] = lit_halves(gl_test_window::get().read_pixels());
    EXPECT_GT(left, 100) << "list " << list;
    EXPECT_EQ(right, 0) << "list " << list;
  }
}

TEST_F(OutlineLists, LoneContourFillsWhicheverWayItWinds) {
  // GLU takes the normal from the contour itself, so a single simple contour
  // is filled in either direction (the shipped figures rely on GLU for this).
  outline_bytes b;
  b.header(2);
  b.i32(1).shape(0.0, square(15000, true));
  b.i32(1).shape(0.0, square(15000, false));
  std::int32_t count = 0;
  outline_tessellator::build_lists(write("squares.bin", b).c_str(), &count, 45, 1.0);
  // Half the window in each direction: a quarter of its pixels.
  EXPECT_NEAR(lit_pixels(45), 32 * 32, 64);
  EXPECT_NEAR(lit_pixels(46), 32 * 32, 64);
}

TEST_F(OutlineLists, FigureListsNumberFromTheFirstAndHoldAllShapes) {
  outline_bytes b;
  b.header(3);
  b.i32(2).shape(0.0, {{-30000, -30000}, {-15000, -30000}, {-15000, -15000}, {-30000, -15000}, {-30000, -20000}})
      .shape(0.0, square(3000));
  b.i32(0);
  // A shape without points draws nothing and disturbs nothing.
  b.i32(2).shape(0.0, {}).shape(0.0, {{0, 0}, {30000, 0}, {30000, 30000}});
  std::int32_t count = 0;
  outline_tessellator::build_lists(write("figures.bin", b).c_str(), &count, 60, 1.0);
  EXPECT_EQ(count, 3);
  // A five-point shape is tessellated by this reader; both shapes of figure 0
  // are in list 60.
  EXPECT_NEAR(lit_pixels(60), 16 * 16 + 6 * 6, 40);
  // A figure without shapes still gets its (empty) list.
  EXPECT_TRUE(glIsList(61));
  EXPECT_EQ(lit_pixels(61), 0);
  EXPECT_GT(lit_pixels(62), 0);
  EXPECT_FALSE(glIsList(63));
}

TEST_F(OutlineLists, ShapeListsNumberByFigurePlusShapeAndStartAtTheOrigin) {
  // Squares of different sizes tell the shapes apart.
  outline_bytes b;
  b.header(2);
  b.i32(2).shape(5.0, square(1000)).shape(5.0, square(2000));
  b.i32(2).shape(5.0, square(3000)).shape(5.0, square(4000));
  std::int32_t count = 0;
  outline_tessellator::build_shape_lists(write("shapes.bin", b).c_str(), &count, 9, 1.0);
  EXPECT_EQ(count, 2);
  auto extent = [](GLuint list) {
    float lo = 10, hi = -10;
    for (const auto& v : list_vertices(list)) {
      lo = std::min({lo, v[0], v[1]});
      hi = std::max({hi, v[0], v[1]});
    }
    return std::pair<float, float>(lo, hi);
  };
  // First point (-a, -a) moved to the origin: the square spans [0, 2a].
  const float unit = 1.0f / 30000.0f;
  const auto e9 = extent(9), e10 = extent(10), e11 = extent(11);
  EXPECT_NEAR(e9.first, 0.0f, 1e-4);
  EXPECT_NEAR(e9.second, 2000 * unit, 1e-3);   // figure 0 shape 0
  EXPECT_NEAR(e10.second, 6000 * unit, 1e-3);  // figure 1 shape 0 overwrote figure 0 shape 1
  EXPECT_NEAR(e11.second, 8000 * unit, 1e-3);  // figure 1 shape 1
  EXPECT_FALSE(glIsList(12));
}

TEST_F(OutlineLists, ShapeListsSkipFivePointShapesAndShapelessFigures) {
  outline_bytes b;
  b.header(3);
  b.i32(1).shape(0.0, {{0, 0}, {30000, 0}, {30000, 30000}, {0, 30000}, {0, 15000}});
  b.i32(0);
  b.i32(1).shape(0.0, square(15000));
  std::int32_t count = 0;
  outline_tessellator::build_shape_lists(write("small.bin", b).c_str(), &count, 70, 1.0);
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(glIsList(70));
  EXPECT_TRUE(list_vertices(70).empty());
  EXPECT_FALSE(glIsList(71));
  EXPECT_GT(lit_pixels(72), 0);
}

TEST_F(OutlineLists, MalformedFilesEndWithAMessageNamingTheFile) {
  expect_refused(&outline_tessellator::build_lists, (dir_ / "missing.bin").string(), "cannot be opened");

  outline_bytes truncated;
  truncated.header(1).i32(1).i32(6).f64(0.0).i16(1);
  expect_refused(&outline_tessellator::build_lists, write("truncated.bin", truncated), "truncated");
  expect_refused(&outline_tessellator::build_shape_lists, write("truncated.bin", truncated),
                 "truncated");

  outline_bytes header_only;
  header_only.i32(0).i32(0);
  expect_refused(&outline_tessellator::build_shape_lists, write("header.bin", header_only),
                 "truncated");

  outline_bytes oversized;
  oversized.header(1).i32(1).i32(outline_max_points + 1).f64(0.0);
  for (int i = 0; i <= outline_max_points; ++i) oversized.i16(static_cast<std::int16_t>(i)).i16(0);
  expect_refused(&outline_tessellator::build_lists, write("oversized.bin", oversized), "8193 points");

  outline_bytes negative_n;
  negative_n.header(-2);
  expect_refused(&outline_tessellator::build_lists, write("n.bin", negative_n), "negative figure count");
  outline_bytes negative_p;
  negative_p.header(1).i32(-1);
  expect_refused(&outline_tessellator::build_shape_lists, write("p.bin", negative_p),
                 "negative shape count");
  outline_bytes negative_k;
  negative_k.header(1).i32(1).i32(-5).f64(0.0);
  expect_refused(&outline_tessellator::build_lists, write("k.bin", negative_k), "negative point count");
}

TEST_F(OutlineLists, FullVertexStoreIsTessellated) {
  // A circle of exactly 8192 points, counter-clockwise.
  std::vector<std::pair<int, int>> circle;
  for (int i = 0; i < outline_max_points; ++i) {
    const double a = 2 * 3.14159265358979 * i / outline_max_points;
    circle.emplace_back(static_cast<int>(15000 * std::cos(a)), static_cast<int>(15000 * std::sin(a)));
  }
  outline_bytes b;
  b.header(1).i32(1).shape(0.0, circle);
  std::int32_t count = 0;
  outline_tessellator::build_lists(write("circle.bin", b).c_str(), &count, 80, 1.0);
  EXPECT_NEAR(lit_pixels(80), 3.14159 * 16 * 16, 40);
}

}  // namespace
