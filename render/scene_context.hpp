// The one rendering-state object of the show: shader context and tables, the
// texture-name table, the scene and light cameras, the projection settings
// and the loader switches. The global instance g_scene_context is built by
// static construction; it is several megabytes, so tests make their own on
// the heap.
#pragma once

#include "camera_frame.hpp"
#include "spline_path.hpp"
#include "vec3.hpp"

#include "model3ds/l3ds.hpp"
#include "platform/shader_runtime.hpp"

#include <GL/gl.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <span>
#include <vector>

struct frame_input;

namespace platform {
struct device;
}

// Member of the scene context with its own defaults; nothing uses it.
struct object_transform {
  vec3 origin = make_vec3(0, 0, 0);
  double angle = 0.0;
  vec3 offset = make_vec3(0, 0, 0);
  vec3 scale = make_vec3(1, 1, 1);
  vec3 axis_x = make_vec3(1, 0, 0);
  vec3 axis_z = make_vec3(0, 0, 1);
  vec3 axis_y = make_vec3(0, 1, 0);
  bool flag = false;
};

// Element of scene_context::slot_records; built and destroyed with the
// context, never touched otherwise. Zero-filled here rather than left as the
// storage holds it.
struct twin_vector_record {
  std::int32_t head[8] = {};
  std::vector<std::int32_t> first;
  std::vector<std::int32_t> second;
  std::int32_t tail[2] = {};
};

// One record of the value recorder (a tenth of a second of demo time).
struct value_record {
  double time = 0.0;
  double value = 0.0;
  std::int32_t tag = 0;
};

// The record a time lands in among `count` (one per tenth of a second), or -1
// for a time before 0, at or past the end, or not a number.
std::int32_t value_record_slot(double time, std::int32_t count);
// Smooths the values in place with a weighted window of three records on each
// side, walking forward so that the records behind already hold smoothed
// values. The first three and last three records keep their raw values.
void smooth_recorded_values(std::span<value_record> records);

class scene_context {
 public:
  static constexpr int program_count = 10000;
  static constexpr int parameter_slots_per_program = 16;
  static constexpr int parameter_count = 170000;
  static constexpr int texture_name_count = 400000;
  static constexpr int slot_record_count = 10000;
  static constexpr int model_count = 10000;
  // Texture slots below this are relative to texture_base; from it on absolute.
  static constexpr int first_absolute_slot = 85000;

  // Parameter slots of a program.
  static constexpr int camera_pos_slot = 1;
  static constexpr int light_pos_slot = 2;
  static constexpr int modelview_projection_slot = 5;
  static constexpr int texture_matrix_slot = 6;

  scene_context();
  ~scene_context();
  scene_context(const scene_context&) = delete;
  scene_context& operator=(const scene_context&) = delete;

  // Calls the progress hook with the fraction; 0 when there is none.
  double report_progress(double fraction);

  // Texture loaders: a colour JPEG, or a colour JPEG with a separate alpha
  // JPEG of the same size, into the texture of a slot (texture_base + slot).
  // A file that cannot be read shows its name and ends the run.
  void load_jpeg_texture(const char* file, int slot);
  void load_jpeg_texture_with_alpha(const char* colour_file, const char* alpha_file, int slot);
  // A random 8x8 pattern in place of a file (the placeholder switch).
  void make_placeholder_texture(const char* file, int slot);

  // Camera: camera_frame::set on `camera`; gluLookAt with `camera`.
  void set_camera(const double* ex, const double* ey, const double* ez, const double* cx,
                  const double* cy, const double* cz, const double* ux, const double* uy,
                  const double* uz);
  void apply_camera() const;

  // Shader wrapper. Each returns what the runtime call returns. Program and
  // slot numbers outside the tables address nothing (null handles).
  platform::shader::context create_cg_context();
  platform::shader::parameter get_cg_parameter(int program, int slot, const char* name);
  void set_cg_modelview_projection(int program, int slot);
  void set_cg_texture_matrix(int program, int slot);
  void bind_cg_program(int program);
  void set_cg_float3(int program, int slot, float x, float y, float z);
  void enable_vertex_profile();
  void enable_fragment_profile();
  void disable_vertex_profile();
  void disable_fragment_profile();

  // Graphics card check: reads the GL vendor and renderer strings, stores the
  // results below and warns once about a known slow card.
  void check_graphics_card();

  // The GL texture name a texture slot names (slot rule above); 0 for a slot
  // outside the table.
  GLuint texture_name_of_slot(int slot) const;

  // Value recorder, a development instrument: one record per tenth of a
  // second of `*duration`, smoothed and written to the log file on close.
  // A log that cannot be opened only leaves the stream in its error state.
  void open_value_log(const char* path, const double* duration);
  // Stores {time, value, tag} in the record of that tenth of a second;
  // later calls for the same record overwrite it. Times outside the recorder
  // are dropped.
  void record_value(const double* value, const double* time, std::int32_t tag);
  // Writes and closes the log and frees the records; nothing when not open.
  void close_value_log();
  // Records of the recorder: the tenths of a second in recorder_duration.
  std::int32_t value_log_record_count() const;

  // Fields in declaration order.
  double (*load_progress_hook)(double) = nullptr;
  bool ati_card = false;
  double speed_factor = 1.0;
  std::int32_t slow_card_code = 0;
  ::frame_input* frame_input = nullptr;  // the part's frame input block of this frame
  platform::device* window_dc = nullptr;
  vec3 spare_vector = make_vec3(1.0f, 0, 0);
  double spare_values[3] = {1.0, 1.0, 1.0};
  camera_frame camera;
  camera_frame spare_frame;
  camera_frame light;
  double spare_weights[6] = {0.1, 0.1, 0.1, 0.3, 0.6, 1.0};
  object_transform spare_transform;
  std::vector<vec3> spare_list;
  double spare_scale = 1.0;
  std::int32_t spare_mode = 771;
  std::uint8_t spare_flag_a = 0;
  bool copy_to_texture = false;
  std::int32_t copy_texture_slot = 0;
  bool use_mipmaps = false;
  std::uint8_t spare_flag_b = 0;
  std::int32_t spare_indices_a[2] = {-1, -1};
  std::uint8_t pass_marker = 0;
  std::int32_t spare_indices_b[2] = {-1, -1};
  float spare_float = 1.0f;
  std::vector<vec3> second_spare_list;
  std::uint8_t spare_flag_c = 0;
  spline_path spare_path;
  std::ofstream recorder_stream;
  std::unique_ptr<value_record[]> recorder_records;
  double recorder_duration = 0.0;
  platform::shader::context cg_context = nullptr;
  platform::shader::program cg_programs[program_count] = {};
  platform::shader::parameter cg_parameters[parameter_count] = {};
  int vertex_profile = platform::shader::vertex_profile_arb;
  int fragment_profile = platform::shader::fragment_profile_arb;
  GLuint texture_names[texture_name_count] = {};
  std::int32_t texture_base = 0;
  twin_vector_record slot_records[slot_record_count];
  // 3DS importers; nothing in the show reads a model through them.
  L3DS models[model_count];
  std::unique_ptr<std::uint8_t[]> owned_blocks[3];
  std::int32_t copy_size_preset = 2;
  std::uint8_t spare_flag_d = 0;
  double fov_offset = 0.0;
  double near_plane = 1.5;
  double far_plane = 100.0;
  double aspect_factor = 1.0;
  std::int32_t spare_size = 512;
  bool placeholder_textures = false;
  bool compress_textures = true;
  std::ofstream second_stream;

 private:
  // Entry p * 16 + s of cg_parameters, or null when out of the table.
  platform::shader::parameter* parameter_entry(int program, int slot);
  platform::shader::program program_handle(int program) const;
};

extern scene_context g_scene_context;

// Switches the fragment profile off, then the vertex profile.
void disable_cg_profiles(scene_context* scene);
