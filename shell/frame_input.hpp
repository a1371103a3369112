// The per-frame input block that the shell fills and hands to the
// part's render, and that the part copies, keeps and writes its part time into.
//
// Header-only. A plain record with one owning member (captured_points). Every
// field is value-initialised to zero, so a block on the heap or in a member
// (part_start::input_copy) starts the same as the zero-filled globals do.
#pragma once

#include "../render/vec3.hpp"

#include <cstdint>
#include <vector>

struct frame_input {
  // Fields in declaration order.
  double camera_offset[3] = {};       // set to 0.0 by the driver every frame
  double leftright_control = 0.0;     // Left/Right arrow control; not read by the part
  double updown_control = 0.0;        // Up/Down arrow control; decays toward 0, clamped
  std::int32_t seek_request = 0;      // non-zero asks the part to jump its time
  double look_point[3] = {};          // captured by the middle button
  bool flags_a[32] = {};              // option flags (element 0 set true at init)
  bool flags_b[32] = {};              // option flags; element 9 is the exit request
  double demo_time = 0.0;             // demo time of this frame
  std::vector<vec3> captured_points;  // appended by the middle button
  std::int32_t scene_id = 0;          // scene_timeline::scene_at
  std::int32_t scene_row = 0;         // the timeline's current scene index
  float spectrum[512] = {};           // FFT spectrum (zero when music is off)
  double output_block[32] = {};       // [0] part_time_out, [10] fade_level
  double constant_block[8] = {};      // [0] unit_value
  vec3 points[8];                     // each {state 1, 0, 0, 0}; never written afterwards

  static constexpr int part_time_out_index = 0;
  static constexpr int fade_level_index = 10;
  static constexpr int unit_value_index = 0;
  static constexpr int exit_request_flag = 9;

  // captured_points empty, the eight trailing points {state 1, 0, 0, 0},
  // every other field zero.
  frame_input() {
    for (vec3& p : points) p = vec3{1, 0.0f, 0.0f, 0.0f};
  }

  // Member-wise copy of every field in declaration order, the point list by value.
  frame_input(const frame_input&) = default;
  frame_input& operator=(const frame_input&) = default;
  frame_input(frame_input&&) = default;
  frame_input& operator=(frame_input&&) = default;
  ~frame_input() = default;

  double& part_time_out() { return output_block[part_time_out_index]; }
  double part_time_out() const { return output_block[part_time_out_index]; }
  double& fade_level() { return output_block[fade_level_index]; }
  double fade_level() const { return output_block[fade_level_index]; }
  double& unit_value() { return constant_block[unit_value_index]; }
  double unit_value() const { return constant_block[unit_value_index]; }
  bool& exit_request() { return flags_b[exit_request_flag]; }
  bool exit_request() const { return flags_b[exit_request_flag]; }
};
