#pragma once
// Stand-in for the shader runtime the render pass talks to. No shader program
// exists in this system: programs and parameters are null handles, calls on
// them only record an invalid-handle error, and profiles are switched on and
// off without touching GL, so all drawing stays fixed-function.
#include <cstdint>
#include <string>

namespace platform::shader {

struct context_record;
struct program_record;
struct parameter_record;
using context = context_record*;
using program = program_record*;
using parameter = parameter_record*;

// Profile numbers the render pass uses.
constexpr int vertex_profile_arb = 6150;
constexpr int fragment_profile_arb = 7000;
// State matrices and their transforms.
constexpr int modelview_projection_matrix = 7;
constexpr int texture_matrix = 6;
constexpr int matrix_identity = 0;

enum class error { none, invalid_context, invalid_program, invalid_parameter, invalid_profile };

context create_context();
void destroy_context(context c);
parameter named_parameter(program p, const std::string& name);
void set_optimal_options(int profile);
void bind_program(program p);
void enable_profile(int profile);
void disable_profile(int profile);
bool profile_enabled(int profile);
void set_state_matrix_parameter(parameter p, int matrix, int transform);
void set_parameter_3f(parameter p, float x, float y, float z);

// The last error of any call, cleared by reading it.
error take_error();
// Calls made since start, for tests that check the render pass's order.
std::uint64_t call_count();

}  // namespace platform::shader
