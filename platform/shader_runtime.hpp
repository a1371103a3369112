#pragma once
// Stand-in for the shader runtime the render pass talks to. No shader program
// exists in this system: programs and parameters are null handles, calls on
// them only record an invalid-handle error, and profiles are switched on and
// off without touching GL, so all drawing stays fixed-function.
#include <cstddef>
#include <string>
#include <vector>

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

// One call as the runtime received it; fields a call does not take stay zero.
struct call {
    enum class kind {
        create_context, destroy_context, named_parameter, set_optimal_options, bind_program,
        enable_profile, disable_profile, set_state_matrix_parameter, set_parameter_3f
    };
    explicit call(kind w, const void* h = nullptr) : what(w), handle(h) {}
    kind what;
    const void* handle;             // the context, program or parameter passed
    std::string name;               // named_parameter
    int profile = 0;                // the profile calls
    int matrix = 0, transform = 0;  // set_state_matrix_parameter
    float x = 0, y = 0, z = 0;      // set_parameter_3f
};

// Records the calls made while it lives, in order, for tests of the render
// pass. Nothing is recorded without one, and at most `capacity` calls with
// one (later calls are dropped), so a long run keeps no log. One at a time.
class call_recorder {
public:
    static constexpr std::size_t capacity = 4096;
    call_recorder();
    ~call_recorder();
    call_recorder(const call_recorder&) = delete;
    call_recorder& operator=(const call_recorder&) = delete;

    const std::vector<call>& calls() const;
    void clear();
};

}  // namespace platform::shader
