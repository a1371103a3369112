// The per-frame scene pass: selects the window's (or the off-screen) context,
// binds the shader programs and profiles, clears, sets the perspective and
// the scene camera, loads the light's projective texture matrix, hands the
// camera and light positions to the shader runtime and runs the draw
// callback. Plus the square projection set around it and the state reset the
// scene drawer uses between layers.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <utility>

class scene_context;
struct offscreen_target;
struct camera_frame;

using draw_callback = void (*)(scene_context* scene);

// Expects the model-view matrix to be current. With off-screen flag 0 it
// draws in the window's context and leaves the viewport alone; a non-zero
// flag makes the off-screen context current and sets the viewport to the
// render size; flag exactly 1 also copies the frame into textures afterwards.
// Leaves: culling, lighting, polygon offset fill and blending off, 2D
// texturing and the depth test on, identity texture matrix, the pass's
// perspective projection, both shader profiles off, model-view current.
// The arguments marked unused are kept for the caller's sake.
void render_cg_pass(scene_context* scene, offscreen_target* target, int unused_a,
                    draw_callback draw, int unused_b, int unused_c, int program,
                    const camera_frame* camera, const camera_frame* light,
                    std::uint8_t offscreen_flag, int copy_width, int copy_slot);

// Makes the window's context current, then projection = gluPerspective(75 +
// fov_offset, 1, near_plane, far_plane) and model-view identity. No viewport.
void set_offscreen_projection(scene_context* scene, offscreen_target* target);

// Blending, lighting, colour material, light 0 and 2D texturing off, colour
// white, fog off.
void reset_gl_state();

// Binds the texture and copies the lower-left width x height pixels of the
// read buffer into its level 0 (a width of 800 always copies 600 rows).
void copy_framebuffer_to_texture(GLuint texture_name, int width, int height);

// Size of the second frame copy for a copy width and the context's preset.
std::pair<int, int> second_copy_size(int copy_width, int size_preset);
