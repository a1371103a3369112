#include "platform/shader_runtime.hpp"

namespace platform::shader {

struct context_record {};

namespace {

error g_error = error::none;
std::uint64_t g_calls = 0;
bool g_vertex_enabled = false;
bool g_fragment_enabled = false;
int g_optimal_profile = 0;

bool* profile_flag(int profile) {
    if (profile == vertex_profile_arb) return &g_vertex_enabled;
    if (profile == fragment_profile_arb) return &g_fragment_enabled;
    return nullptr;
}

void count() { ++g_calls; }

}  // namespace

context create_context() {
    count();
    return new context_record;
}

void destroy_context(context c) {
    count();
    delete c;
}

parameter named_parameter(program p, const std::string&) {
    count();
    if (!p) g_error = error::invalid_program;
    return nullptr;   // no program exists, so no parameter can be found
}

void set_optimal_options(int profile) {
    count();
    if (!profile_flag(profile)) {
        g_error = error::invalid_profile;
        return;
    }
    g_optimal_profile = profile;
}

void bind_program(program p) {
    count();
    if (!p) g_error = error::invalid_program;
}

void enable_profile(int profile) {
    count();
    if (bool* flag = profile_flag(profile)) *flag = true;
    else g_error = error::invalid_profile;
}

void disable_profile(int profile) {
    count();
    if (bool* flag = profile_flag(profile)) *flag = false;
    else g_error = error::invalid_profile;
}

bool profile_enabled(int profile) {
    const bool* flag = profile_flag(profile);
    return flag && *flag;
}

void set_state_matrix_parameter(parameter p, int, int) {
    count();
    if (!p) g_error = error::invalid_parameter;
}

void set_parameter_3f(parameter p, float, float, float) {
    count();
    if (!p) g_error = error::invalid_parameter;
}

error take_error() {
    const error e = g_error;
    g_error = error::none;
    return e;
}

std::uint64_t call_count() { return g_calls; }

}  // namespace platform::shader
