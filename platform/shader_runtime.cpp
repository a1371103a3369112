#include "platform/shader_runtime.hpp"

#include <utility>

namespace platform::shader {

struct context_record {};

namespace {

error g_error = error::none;
bool g_vertex_enabled = false;
bool g_fragment_enabled = false;
int g_optimal_profile = 0;
bool g_recording = false;
std::vector<call> g_log;

bool* profile_flag(int profile) {
    if (profile == vertex_profile_arb) return &g_vertex_enabled;
    if (profile == fragment_profile_arb) return &g_fragment_enabled;
    return nullptr;
}

// Whether a call is to be logged; checked before the call's record is built,
// so a run without a recorder does no work here.
bool recording() { return g_recording && g_log.size() < call_recorder::capacity; }

void record(call::kind what, const void* handle) {
    if (recording()) g_log.push_back(call{what, handle});
}

void record_profile(call::kind what, int profile) {
    if (!recording()) return;
    call c{what};
    c.profile = profile;
    g_log.push_back(std::move(c));
}

}  // namespace

call_recorder::call_recorder() {
    g_log.clear();
    g_recording = true;
}

call_recorder::~call_recorder() {
    g_recording = false;
    g_log.clear();
}

const std::vector<call>& call_recorder::calls() const { return g_log; }

void call_recorder::clear() { g_log.clear(); }

context create_context() {
    context c = new context_record;
    record(call::kind::create_context, c);
    return c;
}

void destroy_context(context c) {
    record(call::kind::destroy_context, c);
    delete c;
}

parameter named_parameter(program p, const std::string& name) {
    if (recording()) {
        call c{call::kind::named_parameter, p};
        c.name = name;
        g_log.push_back(std::move(c));
    }
    if (!p) g_error = error::invalid_program;
    return nullptr;   // no program exists, so no parameter can be found
}

void set_optimal_options(int profile) {
    record_profile(call::kind::set_optimal_options, profile);
    if (!profile_flag(profile)) {
        g_error = error::invalid_profile;
        return;
    }
    g_optimal_profile = profile;
}

void bind_program(program p) {
    record(call::kind::bind_program, p);
    if (!p) g_error = error::invalid_program;
}

void enable_profile(int profile) {
    record_profile(call::kind::enable_profile, profile);
    if (bool* flag = profile_flag(profile)) *flag = true;
    else g_error = error::invalid_profile;
}

void disable_profile(int profile) {
    record_profile(call::kind::disable_profile, profile);
    if (bool* flag = profile_flag(profile)) *flag = false;
    else g_error = error::invalid_profile;
}

bool profile_enabled(int profile) {
    const bool* flag = profile_flag(profile);
    return flag && *flag;
}

void set_state_matrix_parameter(parameter p, int matrix, int transform) {
    if (recording()) {
        call c{call::kind::set_state_matrix_parameter, p};
        c.matrix = matrix;
        c.transform = transform;
        g_log.push_back(std::move(c));
    }
    if (!p) g_error = error::invalid_parameter;
}

void set_parameter_3f(parameter p, float x, float y, float z) {
    if (recording()) {
        call c{call::kind::set_parameter_3f, p};
        c.x = x;
        c.y = y;
        c.z = z;
        g_log.push_back(std::move(c));
    }
    if (!p) g_error = error::invalid_parameter;
}

error take_error() {
    const error e = g_error;
    g_error = error::none;
    return e;
}

}  // namespace platform::shader
