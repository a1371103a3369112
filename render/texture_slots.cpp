#include "texture_slots.hpp"

#include "scene_context.hpp"

#include <GL/gl.h>

void bind_texture_index(const scene_context* scene, int slot) {
  glBindTexture(GL_TEXTURE_2D, scene->texture_name_of_slot(slot));
}

void set_linear_filter(const scene_context*) {
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}
