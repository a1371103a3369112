// Layers 22 to 29 of the timeline: shaded bundles along random walks, fish
// strips, traced lines with glow and film ribbons, brush marks and drops.
// Each layer leaves its GL state to the next.
#include "production/layers_shaded_walks.hpp"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "production/effects.hpp"
#include "production/layers_walks_tiles.hpp"
#include "production/layer_notation.hpp"
#include "production/part_start.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/spline_path.hpp"
#include "render/texture_slots.hpp"

namespace {

using layer_gl::pi;
using layer_gl::clamp01;

struct layer_context {
    double t;
    int texture_base;
    scene_context* scene;
    const part_start& part;
    void bind_slot(int n) const { bind_texture_index(scene, texture_base + n); }
};

// The blend, depth and texture state the shaded bundles are drawn in.
void begin_shaded_bundle() {
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
}

struct shaded_bundle {
    int first_slot;      // stroke k binds first_slot + (k + 10) mod slot_cycle
    int slot_cycle;
    double growth_start;
    float shadow_z;      // the shadow sits at (0.5, 0.5, shadow_z)
    float band_z;        // the band at (0, 0, band_z)
    double phase;
    double blue_lift;
};

// Six strokes k = -3 to 2, one unit apart, each a black shadow and a
// coloured band whose texture slides at a random speed.
void draw_shaded_strokes(const layer_context& c, const spline_path& path, const shaded_bundle& b) {
    const double t = c.t;
    const vec3 still = make_vec3(0, 0, 0);
    for (int k = -3; k <= 2; ++k) {
        c.bind_slot(b.first_slot + (k + 10) % b.slot_cycle);
        const double grow = random_unit();
        const double g = clamp01(std::max((grow * 1.5 + 2.0) * (t - b.growth_start), 0.0) * 0.03);
        const double reach = path.count * g;

        glPushMatrix();
        glColor3f(0.0f, 0.0f, 0.0f);
        glTranslatef(0.5f, 0.5f, b.shadow_z);
        draw_path_ribbon(&path, 0.0, reach, &still, 0.15, k, 0.0, -1.0);
        glPopMatrix();

        const double shade = random_unit() * 0.4 + 0.6;
        const double C = std::pow((0.3 * std::sin(0.9 * k + t + b.phase) + 1.0) * shade, 2.8);
        glPushMatrix();
        random_unit();  // a colour the next one replaces
        const double red = random_unit();
        glColor3f(static_cast<float>((red + 0.6) * 0.3 * C), static_cast<float>(0.7 * C),
                  static_cast<float>(0.9 * C + b.blue_lift));
        glTranslatef(0.0f, 0.0f, b.band_z);
        const double u = (2.0 * random_unit() - 1.0) * t;
        const double v = (2.0 * random_unit() - 1.0) * t;
        const vec3 sliding = make_vec3(static_cast<float>(u), static_cast<float>(v), 0.0f);
        draw_path_ribbon(&path, 0.0, reach, &sliding, 0.15, k, 0.0, -1.0);
        glPopMatrix();
    }
}

vec3 direction_at(double angle) {
    return make_vec3(static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)), 0.0f);
}

// The walk of the shaded bundles: 600 unit steps of width 0.4, half turns
// only after step 10.
random_walk_shape shaded_walk(vec3 start, vec3 direction, double low_draw_side) {
    random_walk_shape shape;
    shape.start = start;
    shape.direction = direction;
    shape.steps = 600;
    shape.width = 0.4f;
    shape.low_draw_side = low_draw_side;
    shape.bends_after = 10;
    return shape;
}

// Layer 22: two bundles walking left from the upper right.
void draw_two_shaded_bundles(const layer_context& c) {
    const layer_scope layer{22, c.t > 67.0 && c.t < 84.0};
    if (!layer) return;
    for (int F = 0; F < 2; ++F) {
        qm_srand(323423423u + static_cast<std::uint32_t>(F));
        spline_path path;
        build_random_walk_path(path, shaded_walk(make_vec3(523.9f, 203.6f, 0.0f), direction_at(pi), 1.0));
        begin_shaded_bundle();
        draw_shaded_strokes(c, path, {24, 4, 70.4, 1.5f, 1.5f, 0.7 * F, 0.2 * F});
        glDepthMask(GL_TRUE);
    }
}

// Layer 23: one bundle lower down.
void draw_one_shaded_bundle(const layer_context& c) {
    const layer_scope layer{23, c.t > 40.0 && c.t < 77.0};
    if (!layer) return;
    qm_srand(523423424u);
    spline_path path;
    build_random_walk_path(path, shaded_walk(make_vec3(439.9f, 163.6f, 0.0f), direction_at(pi), 1.0));
    begin_shaded_bundle();
    draw_shaded_strokes(c, path, {30, 4, 62.4, 0.5f, 0.5f, 0.0, 0.0});
    glDepthMask(GL_TRUE);
}

// Layer 24: three fish strips.
void draw_fish_strips(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{24, t > 50.0 && t < 90.0};
    if (!layer) return;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    c.bind_slot(910);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    struct strip {
        float x, y, z;
        double rate;
    };
    static const strip strips[] = {
        {420.7f, 147.6f, 1.0f, 0.65}, {496.7f, 206.7f, 2.0f, 0.86}, {371.1f, 186.7f, 3.0f, 0.97}};
    for (const strip& s : strips) {
        glPushMatrix();
        glTranslatef(s.x, s.y, s.z);
        draw_pulse_strip_twin(s.rate * t, false);
        glPopMatrix();
    }
}

// A traced line: each step moves the pen and pushes the point (no widths).
void trace_step(spline_path& path, vec3& p, const vec3& d) {
    vec3_add(&p, &d, &p);
    path.append_point(&p);
}

void trace_turn(spline_path& path, vec3& p, vec3& d, int sub_steps, double angle) {
    const double zero = 0.0;
    for (int i = 0; i < sub_steps; ++i) {
        rotate_vec3_euler(&d, &zero, &zero, &angle);
        trace_step(path, p, d);
    }
}

// The film pictures of slots 800 to 859, one per sixtieth of a second.
int film_slot(double t) {
    const auto frame = static_cast<std::int64_t>(std::trunc(60.0 * t));
    const auto index = ((frame % 60) + 60) % 60;  // the windows keep t positive; stay in range anyway
    return 800 + static_cast<int>(index);
}

void set_film_state(const layer_context& c) {
    c.bind_slot(film_slot(c.t));
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_TEXTURE_2D);
}

void begin_traced_line() {
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
}

void end_traced_line() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_TRUE);
}

// Layer 25: a line traced down the left edge whose middle wanders with t,
// drawn as a glow ribbon with its shadow and a film ribbon.
void draw_wandering_line(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{25, t > 15.0 && t < 81.0};
    if (!layer) return;
    qm_srand(423423424u);
    spline_path path;
    trace_wandering_line(path, t);
    begin_traced_line();

    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    c.bind_slot(990);
    glPushMatrix();
    glTranslatef(-3.0f, -3.0f, -1.0f);
    draw_spline_glow_ribbons(c.scene, path, 0.0, 1.0, 1.0);
    glPopMatrix();
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    glPushMatrix();
    draw_spline_glow_ribbons(c.scene, path, 0.0225 * std::max(t - 20.0, 0.0), 1.0, 1.0);
    glPopMatrix();

    set_film_state(c);
    const double P = 0.0225 * 0.98 * std::max(t - 22.6, 0.0);
    glColor4f(0.3f, 0.3f, 0.3f, 0.1f);
    glPushMatrix();
    draw_spline_ribbon_sized(path, P, 1.0, 1.0, 1.0);
    glPopMatrix();
    glColor4f(1.3f, 1.3f, 1.3f, 0.1f);
    glPushMatrix();
    glTranslatef(0.8f, 0.8f, 0.0f);
    draw_spline_ribbon_sized(path, P, 1.0, 1.0, 1.0);
    glPopMatrix();
    end_traced_line();
}

// Layer 26: a brush mark with its shadow.
void draw_brush_marks(const layer_context& c) {
    const layer_scope layer{26, c.t > 10.0 && c.t < 46.0};
    if (!layer) return;
    glDepthMask(GL_FALSE);
    c.bind_slot(60);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.3f);
    glEnable(GL_TEXTURE_2D);
    const double angle = 0.0, size = 38.3;
    glPushMatrix();
    glTranslatef(-18.0f, 124.0f, 12.0f);
    draw_textured_quad(&angle, &size, &size);
    glPopMatrix();
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    glPushMatrix();
    glTranslatef(-19.0f, 123.0f, 12.0f);
    draw_textured_quad(&angle, &size, &size);
    glPopMatrix();
    glDepthMask(GL_TRUE);
}

// One drop of a row: two shapes at random phases, each in its own matrix
// (paired), or one at a random phase followed by one at the fixed phase 0.2.
void draw_drop(float x, float y, float size, bool paired, double T) {
    glColor4f(0.0f, 0.0f, 0.0f, 0.2f);
    glPushMatrix();
    glTranslatef(x, y, 32.0f);
    glScalef(size, size, size);
    if (paired) {
        for (int i = 0; i < 2; ++i) {
            glPushMatrix();
            const double phase = random_unit();
            draw_mirrored_shape(phase * 14341.0 + T);
            glPopMatrix();
        }
    } else {
        const double phase = random_unit();
        draw_mirrored_shape(phase * 14341.0 + T);
        draw_mirrored_shape(0.2);
    }
    glPopMatrix();
}

// Layer 27: three rows of faint black drops.
void draw_drop_rows(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{27, t > 25.0 && t < 77.0};
    if (!layer) return;
    qm_srand(42424u);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    const double T = 1.2 * t;
    if (t > 33.0 && t < 70.0)
        for (int i = 0; i < 15; ++i) draw_drop(static_cast<float>(2.6 * i + 250.0), 159.8f, 5.0f, true, T);
    if (t > 42.0 && t < 74.0)
        for (int i = 0; i < 25; ++i) draw_drop(static_cast<float>(2.6 * i + 355.0), 173.0f, 6.0f, false, T);
    if (t > 32.0 && t < 70.0)
        for (int i = 0; i < 17; ++i)
            draw_drop(static_cast<float>(3.6 * i + 100.0),
                      static_cast<float>(159.8 + c.part.input_copy.camera_offset[2]), 5.0f, true, T);
    glEnable(GL_TEXTURE_2D);
}

// Layer 28: a line traced down and to the right that sinks with time.
void draw_sinking_line(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{28, t > 81.0 && t < 118.0};
    if (!layer) return;
    qm_srand(423423424u);
    spline_path path;
    trace_sinking_line(path, t);
    begin_traced_line();

    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    c.bind_slot(990);
    glPushMatrix();
    glTranslatef(-3.0f, -3.0f, 23.0f);
    draw_spline_glow_ribbons(c.scene, path, 0.0, 0.9, 1.0);
    glPopMatrix();
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, 23.0f);
    draw_spline_glow_ribbons(c.scene, path, 0.03 * std::max(t - 82.0, 0.0), 0.9, 1.0);
    glPopMatrix();

    set_film_state(c);
    const double P = 0.03 * std::max(t - 83.5, 0.0);
    glColor4f(0.3f, 0.3f, 0.3f, 0.1f);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, 23.0f);
    draw_spline_ribbon_sized(path, P, -1.0, 1.0, 1.0);
    glPopMatrix();
    glColor4f(1.3f, 1.3f, 1.3f, 0.1f);
    glPushMatrix();
    glTranslatef(0.8f, 0.8f, 0.0f);
    glTranslatef(0.0f, 0.0f, 23.0f);
    draw_spline_ribbon_sized(path, P, -1.0, 1.0, 1.0);
    glPopMatrix();
    end_traced_line();
}

// Layer 29: three bundles that sink with the line of layer 28.
void draw_sinking_bundles(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{29, t > 82.0 && t < 97.0};
    if (!layer) return;
    for (int M = 0; M < 3; ++M) {
        qm_srand(423423423u + static_cast<std::uint32_t>(M));
        spline_path path;
        const vec3 start = make_vec3(683.9f, static_cast<float>(198.9 - 4.12 * (t - 79.0)), 0.0f);
        build_random_walk_path(path, shaded_walk(start, direction_at(-0.4), -1.0));
        begin_shaded_bundle();
        draw_shaded_strokes(c, path, {30, 5, 84.0, 35.0f, 35.0f, 0.7 * M, 0.2 * M});
        glDepthMask(GL_TRUE);
    }
}

}  // namespace

void trace_wandering_line(spline_path& path, double t) {
    path.clear();
    vec3 p = make_vec3(8.34f, 103.0f, 0.0f);
    vec3 d = make_vec3(0.0f, -1.0f, 0.0f);
    for (int A = 0; A < 340; ++A) {
        trace_step(path, p, d);
        random_unit();  // not used
        if (A == 30) trace_turn(path, p, d, 30, pi / 40.0);
        if (A == 130) trace_turn(path, p, d, 30, -pi / 100.0);
        if (A == 158) {
            trace_turn(path, p, d, 20, pi / 40.0);
            trace_turn(path, p, d, 20, -0.08168140899333462);
        }
        if (A == 240) trace_turn(path, p, d, 30, 0.014166370614359176);
        if (A == 260) trace_turn(path, p, d, 20, -0.01649336143134641);
        double v = 2.0 * random_unit() - 1.0;
        const double W = std::sin(pi * clamp01((t - 47.0) * 0.08));
        v = (0.3 * std::sin(t) * W + 1.0) * v;
        if (A >= 71 && A <= 199 && random_unit() < 0.04) trace_turn(path, p, d, 30, v * 0.2 * pi / 30.0);
    }
}

void trace_sinking_line(spline_path& path, double t) {
    path.clear();
    vec3 d = direction_at(-0.4);
    vec3 p = make_vec3(667.9f, static_cast<float>(210.1 - 4.12 * (t - 79.0)), 0.0f);
    for (int n = 0; n < 340; ++n) {
        trace_step(path, p, d);
        random_unit();  // not used
        const double S = (random_unit() - 0.5) * 5.12;
        if (n < 138 && random_unit() < 0.1) trace_turn(path, p, d, 5, S * 0.1 * pi / 20.0);
        if (n == 128) trace_turn(path, p, d, 30, -0.03829911184307752);
        if (n == 290) trace_turn(path, p, d, 30, pi / 150.0);
    }
}

void draw_shaded_walks_layers(const part_start& part, scene_context* scene) {
    const layer_context c{part.time, part.texture_base, scene, part};
    draw_two_shaded_bundles(c);
    draw_one_shaded_bundle(c);
    draw_fish_strips(c);
    draw_wandering_line(c);
    draw_brush_marks(c);
    draw_drop_rows(c);
    draw_sinking_line(c);
    draw_sinking_bundles(c);
}

void part_start::draw_shaded_walks_fish_and_lines(scene_context* scene) {
    draw_shaded_walks_layers(*this, scene);
}
