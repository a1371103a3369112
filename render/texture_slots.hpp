// Binding textures by slot. A slot below scene_context::first_absolute_slot
// names texture_names[texture_base + slot]; from it on, texture_names[slot].
#pragma once

class scene_context;

// glBindTexture(GL_TEXTURE_2D, the slot's texture name).
void bind_texture_index(const scene_context* scene, int slot);

// Linear magnification, then minification, filter on the bound 2D texture.
void set_linear_filter(const scene_context* scene);
