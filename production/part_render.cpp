#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "production/part_start.hpp"
#include "render/offscreen_target.hpp"
#include "render/random.hpp"
#include "render/render_pass.hpp"
#include "render/scene_context.hpp"
#include "render/shaping.hpp"

namespace {

double clamp01(double x) { return x > 1.0 ? 1.0 : (x < 0.0 ? 0.0 : x); }

double pulse(double x, double q) { return shape_cosine_pulse(&x, &q); }

struct tempo_step {
    double start;
    double rate;
    double amount;   // the factor eases from 1 to 1 + amount
};

constexpr tempo_step tempo_map[] = {
    {19, 0.45, 0.091}, {75, 0.3, -0.091}, {164, 0.3, 0.11}, {226, 0.3, 0.14},
    {244, 0.3, -0.14}, {133, 0.3, 0.08}, {161, 0.3, -0.08},
};

// One clamp of the envelope camera: each test draws afresh, so it takes two to
// four draws.
double redrawn_clamp(double t, double rate) {
    auto x = [&](double r) { return (r + 1.0) * ((t - 8.0) * rate); };
    if (!(x(random_unit()) > 1.0)) {
        if (x(random_unit()) < 0.0) return 0.0;
    }
    const double high = x(random_unit());
    if (high > 1.0) return 1.0;
    return x(random_unit());
}

// Scales a frame delta by the seven factors at part time t, in table order,
// storing it back after each factor.
void apply_tempo_map(double t, double* delta) {
    for (const tempo_step& step : tempo_map)
        *delta *= 1.0 + step.amount * pulse(clamp01((t - step.start) * step.rate), 1.0);
}

}  // namespace

void draw_timeline_callback(scene_context* scene) {
    if (g_current_part) g_current_part->draw_timeline(scene);
}

void part_start::render(double* frame_delta, offscreen_target* target, scene_context* scene,
                        frame_input* input) {
    glPushAttrib(0xFFFFFFFF);
    scene->frame_input = input;
    for (int i = 0; i < 3; ++i) input_copy.camera_offset[i] = input->camera_offset[i];
    g_frame_input_copy = input_copy;
    // The published copy above keeps the previous frame's spectrum.
    for (int i = 0; i < 256; ++i) input_copy.spectrum[i] = input->spectrum[i];
    g_current_part = this;

    fast_clock += *frame_delta * 1.1666666666666667;
    apply_tempo_map(time, frame_delta);
    time += *frame_delta;
    if (input->seek_request != 0) time = input_copy.camera_offset[0] * 28.0;
    ++frame_count;
    frame_start_time = time;
    g_part_time = time;

    scene->near_plane = 0.01;
    scene->far_plane = 350.0;
    set_offscreen_projection(scene, target);
    glPushMatrix();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    camera_copy = scene->camera;

    const double c0 = input_copy.camera_offset[0];
    {
        const double ex = 18.0 * c0, ey = 0.0, ez = 58.0, cx = 18.0 * c0, cy = 0.0, cz = 0.0;
        const double ux = 0.0, uy = 1.0, uz = 0.0;
        scene->set_camera(&ex, &ey, &ez, &cx, &cy, &cz, &ux, &uy, &uz);
    }
    place_envelope_camera(scene);
    apply_camera_keys(scene);
    const double dip = pulse(std::sin(M_PI * clamp01((time - 85.0 - 2.6) * 1.5 * 0.1)), 2.0);
    scene->camera.eye.z = static_cast<float>(scene->camera.eye.z + -6.0 * dip);

    render_cg_pass(scene, target, 0, draw_timeline_callback, 0, 16, 0, &scene->camera,
                   &scene->light, 0, 800, copy_slot);
    scene->fov_offset = 0.0;
    set_offscreen_projection(scene, target);
    disable_cg_profiles(scene);
    gluLookAt(1.6750000000000003, 0.03833, 0, 0, 0.03833, 0, 0, 1, 0);
    glEnable(GL_TEXTURE_2D);
    disable_cg_profiles(scene);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glPopMatrix();
    input->part_time_out() = time;
    glPopAttrib();
    glFlush();
}

void part_start::place_envelope_camera(scene_context* scene) {
    const double t = time;
    const double e1 = pulse(clamp01(3.0 * std::sin(M_PI * clamp01((t - 60.0) * 0.013))), 1.0);
    qm_srand(1459332346u);
    double wobble = 0.0;
    for (int i = 0; i < 10; ++i) {
        redrawn_clamp(t, 0.3);   // its draws count, its value does not
        const double b = redrawn_clamp(t, 0.45);
        random_unit();
        random_unit();
        const double rc = random_unit();
        wobble += 2.01 * shape_damped_sine(b, 2.0, 10.0 * rc + 20.0);
    }
    const double ex = 12.0 + wobble, ey = 8.0 * t - 125.0, ez = 58.0 + 7.8 * e1;
    const double cx = ex, cy = ey, cz = 0.0;
    const double ux = 0.0, uy = 1.0, uz = 0.0;
    scene->set_camera(&ex, &ey, &ez, &cx, &cy, &cz, &ux, &uy, &uz);
}
