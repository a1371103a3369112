// The scene context's thin layer over the shader runtime. No program is ever
// loaded, so every handle passed on is null; the calls are still made in the
// order the render pass gives them.
#include "scene_context.hpp"

namespace shader = platform::shader;

shader::context scene_context::create_cg_context() {
  vertex_profile = shader::vertex_profile_arb;
  fragment_profile = shader::fragment_profile_arb;
  cg_context = shader::create_context();
  return cg_context;
}

shader::parameter* scene_context::parameter_entry(int program, int slot) {
  if (program < 0 || slot < 0 || slot >= parameter_slots_per_program) return nullptr;
  const long long index = static_cast<long long>(program) * parameter_slots_per_program + slot;
  return index < parameter_count ? &cg_parameters[index] : nullptr;
}

shader::program scene_context::program_handle(int program) const {
  return program >= 0 && program < program_count ? cg_programs[program] : nullptr;
}

shader::parameter scene_context::get_cg_parameter(int program, int slot, const char* name) {
  const shader::parameter found = shader::named_parameter(program_handle(program), name);
  if (shader::parameter* entry = parameter_entry(program, slot)) *entry = found;
  return found;
}

void scene_context::set_cg_modelview_projection(int program, int slot) {
  const shader::parameter* entry = parameter_entry(program, slot);
  shader::set_state_matrix_parameter(entry ? *entry : nullptr,
                                     shader::modelview_projection_matrix,
                                     shader::matrix_identity);
}

void scene_context::set_cg_texture_matrix(int program, int slot) {
  const shader::parameter* entry = parameter_entry(program, slot);
  shader::set_state_matrix_parameter(entry ? *entry : nullptr, shader::texture_matrix,
                                     shader::matrix_identity);
}

void scene_context::bind_cg_program(int program) { shader::bind_program(program_handle(program)); }

void scene_context::set_cg_float3(int program, int slot, float x, float y, float z) {
  const shader::parameter* entry = parameter_entry(program, slot);
  shader::set_parameter_3f(entry ? *entry : nullptr, x, y, z);
}

void scene_context::enable_vertex_profile() { shader::enable_profile(vertex_profile); }
void scene_context::enable_fragment_profile() { shader::enable_profile(fragment_profile); }
void scene_context::disable_vertex_profile() { shader::disable_profile(vertex_profile); }
void scene_context::disable_fragment_profile() { shader::disable_profile(fragment_profile); }

void disable_cg_profiles(scene_context* scene) {
  scene->disable_fragment_profile();
  scene->disable_vertex_profile();
}
