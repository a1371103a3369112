#include "render_pass.hpp"

#include "camera_frame.hpp"
#include "offscreen_target.hpp"
#include "render_size.hpp"
#include "scene_context.hpp"

#include "platform/window.hpp"

#include <GL/glu.h>

namespace {

constexpr double base_field_of_view = 75.0;

// A target that was never made has no context to select; keep the current one
// rather than releasing it.
void make_pair_current(platform::device* device, platform::gl_context* context) {
  if (device && context) platform::make_current(device, context);
}

void scene_perspective(const scene_context* scene) {
  const double aspect = static_cast<double>(g_render_width) /
                        static_cast<double>(g_render_height) * scene->aspect_factor;
  gluPerspective(base_field_of_view + scene->fov_offset, aspect, scene->near_plane,
                 scene->far_plane);
}

void copy_frame(const scene_context* scene, int copy_width, int copy_slot) {
  copy_framebuffer_to_texture(scene->texture_name_of_slot(copy_slot), g_render_width,
                              g_render_height);
  if (scene->copy_to_texture) {
    const auto [w, h] = second_copy_size(copy_width, scene->copy_size_preset);
    copy_framebuffer_to_texture(scene->texture_name_of_slot(scene->copy_texture_slot), w, h);
  }
}

}  // namespace

void render_cg_pass(scene_context* scene, offscreen_target* target, int, draw_callback draw, int,
                    int, int program, const camera_frame* camera, const camera_frame* light,
                    std::uint8_t offscreen_flag, int copy_width, int copy_slot) {
  if (offscreen_flag != 0) {
    make_pair_current(target->pbuffer_dc, target->pbuffer_rc);
    glViewport(0, 0, g_render_width, g_render_height);
  } else {
    make_pair_current(target->window_dc, target->window_rc);
  }
  glDisable(GL_BLEND);
  scene->bind_cg_program(program);
  scene->bind_cg_program(program + 1);
  scene->enable_fragment_profile();
  scene->enable_vertex_profile();
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glPushMatrix();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  scene_perspective(scene);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  camera->apply();
  scene->enable_fragment_profile();
  scene->enable_vertex_profile();

  // Projective texture matrix from the light: maps clip space [-1, 1] to
  // texture space [0, 1].
  glPushMatrix();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glTranslatef(0.5f, 0.5f, 0.5f);
  glScalef(0.5f, 0.5f, 0.5f);
  scene_perspective(scene);
  light->apply();
  scene->set_cg_texture_matrix(program, scene_context::texture_matrix_slot);
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glDisable(GL_TEXTURE_2D);

  // The shader sees the context's own camera, whatever frame was passed.
  const vec3& eye = scene->camera.eye;
  scene->get_cg_parameter(program, scene_context::camera_pos_slot, "CameraPos");
  scene->set_cg_float3(program, scene_context::camera_pos_slot, eye.x, eye.y, eye.z);
  scene->get_cg_parameter(program, scene_context::light_pos_slot, "LightPos");
  scene->set_cg_float3(program, scene_context::light_pos_slot, light->eye.x, light->eye.y,
                       light->eye.z);
  scene->pass_marker = 0;

  glPushMatrix();
  scene->set_cg_modelview_projection(program, scene_context::modelview_projection_slot);
  if (draw) draw(scene);
  // The callback may leave another matrix current; the push above was on the
  // model-view stack.
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  scene->disable_fragment_profile();
  scene->disable_vertex_profile();
  glPopMatrix();

  glPushMatrix();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glEnable(GL_TEXTURE_2D);

  if (offscreen_flag == 1) copy_frame(scene, copy_width, copy_slot);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
}

void set_offscreen_projection(scene_context* scene, offscreen_target* target) {
  make_pair_current(target->window_dc, target->window_rc);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(base_field_of_view + scene->fov_offset, 1.0, scene->near_plane,
                 scene->far_plane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void reset_gl_state() {
  glDisable(GL_BLEND);
  glDisable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_LIGHT0);
  glDisable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDisable(GL_FOG);
}

void copy_framebuffer_to_texture(GLuint texture_name, int width, int height) {
  glBindTexture(GL_TEXTURE_2D, texture_name);
  const int rows = width == 800 ? 600 : height;
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, rows);
}

std::pair<int, int> second_copy_size(int copy_width, int size_preset) {
  if (copy_width == 640) {
    if (size_preset == 1 || size_preset == -1) return {640, 480};
    if (size_preset == 2) return {800, 600};
    return {640, 640};
  }
  if (copy_width == 800) {
    if (size_preset == 1) return {640, 480};
    if (size_preset == 2 || size_preset == -1) return {800, 600};
    if (size_preset == 3) return {320, 240};
    return {800, 800};
  }
  return {copy_width, copy_width};
}
