// Timeline layers 30 to 39 (62 to 170 s): dark strand ribbons, fish
// strips, rising bars, strand bundles, film cards, tree and cemetery cards,
// the long film ribbon and two groups of flowers. Each layer sets the GL
// state it needs and leaves it for the next one; every random draw below is
// part of the picture, used or not.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "production/effects.hpp"
#include "production/layer_notation.hpp"
#include "production/layer_switch.hpp"
#include "production/part_start.hpp"
#include "production/walk_ribbons.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/shaping.hpp"
#include "render/spline_path.hpp"
#include "render/texture_slots.hpp"
#include "render/vec3.hpp"

namespace {

using layer_gl::pi;
using layer_gl::clamp01;
using layer_gl::ease;
using layer_gl::quad;

void textured_quad_region(double angle, double sx, double sy, double u, double v, double size) {
    draw_textured_quad_region(&angle, &sx, &sy, u, v, size);
}

vec3 texture_offset(double u, double v) {
    return make_vec3(static_cast<float>(u), static_cast<float>(v), 0.0f);
}

// A reveal fraction: negative growth counts as none, and it never passes 1.
double reveal(double growth, double rate) { return std::min(std::max(growth, 0.0) * rate, 1.0); }

// The dark pass of a strand: black, nudged off the coloured pass.
void dark_strand_pass(const spline_path& path, double r, int pass, float z) {
    glPushMatrix();
    glColor3f(0.0f, 0.0f, 0.0f);
    glTranslatef(0.5f, 0.5f, z);
    draw_walk_ribbon(path, 0.0, r, texture_offset(0.0, 0.0), pass);
    glPopMatrix();
}

// The coloured pass of layers 30 and 36: a brightness pulsing with the pass
// index and t, a first colour at once replaced (its draw still counts), and
// a texture drifting with t. Draws 5 numbers.
void coloured_strand_pass(const spline_path& path, double t, double r, int pass, double phase,
                          float z, double extra_blue) {
    const double brightness_draw = random_unit();
    const double base = brightness_draw * 0.4 + 0.6;
    const double b = std::pow((0.3 * std::sin(0.9 * pass + t + phase) + 1.0) * base, 2.8);
    glPushMatrix();
    const double first_red = random_unit();
    glColor3f(static_cast<float>((first_red + 0.3) * b), static_cast<float>(0.5 * b),
              static_cast<float>(0.6 * b));
    const double red = random_unit();
    glColor3f(static_cast<float>((red + 0.6) * b * 0.3), static_cast<float>(0.7 * b),
              static_cast<float>(0.9 * b + extra_blue));
    glTranslatef(0.0f, 0.0f, z);
    const double u_draw = random_unit();
    const double u = (2.0 * u_draw - 1.0) * t;
    const double v_draw = random_unit();
    const double v = (2.0 * v_draw - 1.0) * t;
    draw_walk_ribbon(path, 0.0, r, texture_offset(u, v), pass);
    glPopMatrix();
}

// Layer 30: six dark strands, 63 < t < 89.
void draw_dark_strands(const scene_context* scene, int texture_base, double t) {
    const layer_scope layer{30, t > 63.0 && t < 89.0};
    if (!layer) return;
    qm_srand(523423624u);
    spline_path path;
    build_random_walk(path, make_vec3(505.9f, 173.6f, 0.0f), walk_shape{600, 10, 0.02, 15, 0.4f});
    begin_walk_ribbons(scene, texture_base);
    for (int j = -3; j <= 2; ++j) {
        bind_texture_index(scene, texture_base + 30 + (j + 10) % 6);
        const double speed = random_unit();
        const double r = reveal((speed * 1.5 + 2.0) * (t - 66.0), 0.03);
        dark_strand_pass(path, r, j, 11.5f);
        coloured_strand_pass(path, t, r, j, 0.0, 11.5f, 0.0);
    }
    end_walk_ribbons();
}

// Layer 31: fish strips, 62 < t < 90.
void draw_fish_strips(const scene_context* scene, int texture_base, double t) {
    const layer_scope layer{31, t > 62.0 && t < 90.0};
    if (!layer) return;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    bind_texture_index(scene, texture_base + 910);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);

    glPushMatrix();
    glTranslatef(480.1f, 174.6f, 12.0f);
    draw_pulse_strip_twin(t, true);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(483.1f, 177.6f, 12.5f);
    draw_pulse_strip_twin(t, false);
    glPopMatrix();

    bind_texture_index(scene, texture_base + 911);
    const double sink = (t - 79.0) * 1.03 * 4.0;
    glPushMatrix();
    glTranslatef(698.1f, static_cast<float>(183.7 - sink), 34.0f);
    glScalef(-1.0f, -1.0f, 1.0f);
    glRotatef(-30.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_CULL_FACE);
    draw_pulse_strip_twin(0.0, true);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(701.1f, static_cast<float>(186.7 - sink), 35.0f);
    glScalef(-1.0f, -1.0f, 1.0f);
    glRotatef(-30.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_CULL_FACE);
    draw_pulse_strip_twin(0.0, false);
    glPopMatrix();
}

// Layer 32: 25 rising bars, 91 < t < 130; those whose ease has passed 0.8
// turn textured and brighter.
void draw_rising_bars(const scene_context* scene, int texture_base, double t) {
    const layer_scope layer{32, t > 91.0 && t < 130.0};
    if (!layer) return;
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    bind_texture_index(scene, texture_base + 24);
    constexpr int bar_count = 25;
    qm_srand(424234u);
    double tints[bar_count];
    for (double& tint : tints) tint = random_unit();
    qm_srand(3769718578u);
    for (int i = 0; i < bar_count; ++i) {
        const double x = 75.0 - 5.0 * i;
        glPushMatrix();
        const double shade = random_unit();
        double c = (shade * 0.2 + 0.8) * (1.0 - i / 30.0) * 0.4;
        glDisable(GL_TEXTURE_2D);
        const double e = ease(t - 118.0 - 5.0 * i / 25.0, 1.0);
        double g = 1.0;
        double k = 1.0;
        if (e > 0.8) {
            glEnable(GL_TEXTURE_2D);
            g = 0.25 * tints[i] + 0.9;
            k = 1.15;
            c = (0.65 * e + 1.0) * c;
        }
        glColor3f(static_cast<float>(0.2 * c), static_cast<float>(0.8 * g * c),
                  static_cast<float>(k * c));
        glTranslatef(static_cast<float>(x + 770.0),
                     static_cast<float>(4.4 * std::max(t - 92.0, 0.0) - 586.0), 0.0f);
        random_unit();  // unused
        const double extent_draw = random_unit();
        const double extent = 0.1 * extent_draw + 0.46;
        random_unit();  // unused
        const double u_draw = random_unit();
        const double u = (4.0 * u_draw - 2.0) * t / 4.0;
        textured_quad_region(0.0, 2.5, 550.0, u, 0.0, extent);
        glPopMatrix();
    }
}

// Layer 33: six black strand bundles, 94 < t < 123.9, revealed one after
// another from 99 s on.
void draw_strand_bundles(const scene_context* scene, int texture_base, double t) {
    const layer_scope layer{33, t > 94.0 && t < 123.9};
    if (!layer) return;
    for (int m = 0; m < 6; ++m) {
        const int bundle = m - 2;
        const int lead = 2 * m - 4;
        // The seed is the low 32 bits of 5234234621 + bundle.
        qm_srand(static_cast<std::uint32_t>(939267325 + bundle));
        spline_path path;
        build_random_walk(path, make_vec3(853.0f, static_cast<float>(40 * m - 344), 0.0f),
                          walk_shape{400, 60, 0.03, 20, 0.5f});
        begin_walk_ribbons(scene, texture_base);
        for (int j = -4; j <= 0; ++j) {
            const double speed = random_unit();
            const double r = reveal((speed * 3.5 + 2.0) * (t - 105.0 + lead), 0.012);
            dark_strand_pass(path, r, j, -11.5f);
        }
        end_walk_ribbons();
    }
}

// Layer 34: ten film cards, 102.4 < t < 127, each running through the film
// frames (slots 800 to 859) at its own speed.
void draw_film_cards(const scene_context* scene, int texture_base, double t) {
    const layer_scope layer{34, t > 102.4 && t < 127.0};
    if (!layer) return;
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    bind_texture_index(scene, texture_base + 910);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    const double ramp_input = std::max(0.4 * (t - 115.0), 0.0);
    const double g = shape_gamma_ramp(&ramp_input);
    const double v = 0.9 * (t - 110.0) + 0.66 * g;
    const double x0 = -24.0 * g;
    for (int a = 0; a <= 4; ++a) {
        for (int o = 0; o < a; ++o) {
            glPushMatrix();
            const double speed = random_unit();
            const auto frame = static_cast<std::int64_t>(std::trunc((0.1 * speed + 1.0) * 60.0 * t));
            bind_texture_index(scene, texture_base + 800 + static_cast<int>(frame % 60));
            const double s = std::sin(o + a + t);
            glTranslatef(static_cast<float>(x0 + 800.0 + 25.0 * o - 12.0 * a),
                         static_cast<float>(25.0 * a - 190.0 - 30.0 * v),
                         static_cast<float>(19.0 * s - 60.0));
            glRotatef(static_cast<float>(10.0 * s), 1.0f, 0.0f, 0.0f);
            random_unit();  // unused
            glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
            glScalef(-0.315f, 0.375f, 0.2f);
            const double pulse = random_unit();
            draw_pulse_strip((pulse + 1.0) * 0.2 * t);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            glTranslatef(55.0f, 0.0f, 0.0f);
            glBegin(GL_QUADS);
            glVertex3f(-0.8f, 0.0f, 0.0f);
            glVertex3f(0.8f, 0.0f, 0.0f);
            glVertex3f(0.8f, 1000.0f, 0.0f);
            glVertex3f(-0.8f, 1000.0f, 0.0f);
            glEnd();
            glPopMatrix();
        }
    }
}

// Layer 35: a sinking column of tree cards and the cemetery boards,
// 92.6 < t < 124.
void draw_tree_and_cemetery_cards(const scene_context* scene, int texture_base, double t) {
    const layer_scope layer{35, t > 92.6 && t < 124.0};
    if (!layer) return;
    qm_srand(4234234u);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    bind_texture_index(scene, texture_base + 50);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glAlphaFunc(GL_GREATER, 0.01f);
    glEnable(GL_ALPHA_TEST);

    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    const double y0 = -7.0 * (t - 110.0) - 330.0;
    for (int k = 1; k <= 9; ++k) {
        random_unit();  // unused
        glPushMatrix();
        glTranslatef(840.0f, static_cast<float>(20.0 * k + y0), 0.0f);
        glScalef(1.0f, -1.0f, 1.0f);
        quad(90.0, 4.5, 15.0);
        glPopMatrix();
    }

    bind_texture_index(scene, texture_base + 350);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glColor3f(1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(784.4f, -190.0f, 6.0f);
    quad(90.0, 160.0, 80.0);
    glPopMatrix();

    bind_texture_index(scene, texture_base + 2000);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glColor3f(1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(834.4f, -497.0f, -4.0f);
    quad(90.0, 124.8, 15.6);
    glPopMatrix();

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    bind_texture_index(scene, texture_base + 50);
    glPushMatrix();
    glTranslatef(840.0f, -392.0f, 25.0f);
    quad(90.0, 27.0, 90.0);
    glPopMatrix();

    glDisable(GL_ALPHA_TEST);
}

// Layer 36: four strand ribbons, 89 < t < 114, sliding towards +x and
// withdrawing again from 107 s on.
void draw_sliding_strands(const scene_context* scene, int texture_base, double t) {
    const layer_scope layer{36, t > 89.0 && t < 114.0};
    if (!layer) return;
    for (int q = 0; q < 4; ++q) {
        qm_srand(523423624u + static_cast<std::uint32_t>(q));
        const double start_x = 800.0 + 40.0 * q + (0.9 * q + 1.0) * 1.53 * std::max(t - 90.0, 0.0);
        spline_path path;
        build_random_walk(path, make_vec3(static_cast<float>(start_x), -24.0f, 0.0f),
                          walk_shape{600, 10, 0.03, 15, 0.4f});
        begin_walk_ribbons(scene, texture_base);
        const double pass_limit = 8.0 * (1.0 - clamp01(t - 113.0));
        for (int j = -4; j < pass_limit; ++j) {
            const double speed_draw = random_unit();
            const double speed = speed_draw * 1.5 + 2.0;
            const double head = std::max(speed * (t - 91.0 + (q == 1 ? 3.8 : 0.0)), 0.0) * 0.03;
            const double tail = std::max(speed * (t - 107.0), 0.0) * 0.05;
            const double r = clamp01(head - tail);
            dark_strand_pass(path, r, j, 26.5f);
            coloured_strand_pass(path, t, r, j, 0.7 * q, 26.5f, 0.2 * q);
        }
        end_walk_ribbons();
    }
}

// Turns the heading by `angle` radians about z `steps` times, stepping and
// adding a point after each turn.
void turn_and_step(spline_path& path, vec3& p, vec3& d, int steps, double angle) {
    const double zero = 0.0;
    for (int s = 0; s < steps; ++s) {
        rotate_vec3_euler(&d, &zero, &zero, &angle);
        vec3_add(&p, &d, &p);
        path.append_point(&p);
    }
}

// The film ribbon's path: 1251 steps up +y with a few fixed turns and, in
// steps 151 to 229, random wiggles.
void build_film_path(spline_path& path) {
    vec3 p = make_vec3(0.0f, 0.0f, 0.0f);
    vec3 d = make_vec3(0.0f, 1.5f, 0.0f);
    const double zero = 0.0;
    for (int k = 0; k <= 1250; ++k) {
        vec3_add(&p, &d, &p);
        path.append_point(&p);
        if (k >= 151 && k <= 229 && random_unit() < 0.1) {
            for (int s = 0; s < 8; ++s) {
                const double wiggle = random_unit();
                const double angle = (2.0 * wiggle - 1.0) * 0.2 * pi / 20.0;
                rotate_vec3_euler(&d, &zero, &zero, &angle);
                vec3_add(&p, &d, &p);
                path.append_point(&p);
            }
        }
        if (k == 70) {
            turn_and_step(path, p, d, 25, 0.011309733552923256);
        } else if (k == 200) {
            turn_and_step(path, p, d, 25, 0.030159289474462014);
        } else if (k == 227) {
            turn_and_step(path, p, d, 35, -0.022170668155333684);
        } else if (k == 370) {
            turn_and_step(path, p, d, 35, -0.022170668155333684);
        }
        if (k == 393) turn_and_step(path, p, d, 35, 0.022170668155333684);
    }
}

// Layer 37: the film ribbon, 121 < t < 170, sliding in, swaying and rolling on.
void draw_film_ribbon(const scene_context* scene, int texture_base, double t) {
    const layer_scope layer{37, t > 121.0 && t < 170.0};
    if (!layer) return;
    qm_srand(423423424u);
    spline_path path;
    build_film_path(path);

    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    const auto frame = static_cast<std::int64_t>(std::trunc(60.0 * t));
    bind_texture_index(scene, texture_base + 800 + static_cast<int>(frame % 60));
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.3f, 0.3f, 0.3f, 0.1f);
    glDisable(GL_CULL_FACE);

    const double slide = 50.0 * (1.0 - ease(0.1 * (t - 120.0), 1.0)) - 30.0 * ease(0.15 * (t - 126.0), 1.0);
    const double roll = ease(0.3 * (t - 144.0), 1.0);
    const double sway_a = 0.6 * std::sin(pi * ease(t - 147.5, 1.0));
    double sway_v = 0.4 * std::sin(pi * ease(t - 148.4, 1.0));
    if (t > 150.0) sway_v += 0.13 * std::sin(5.0 * t);
    const double sway = 0.5 * std::sin(pi * clamp01(0.25 * (t - 148.3))) + sway_v + sway_a;
    const double progress = std::max(t - 122.5, 0.0) * 0.1 * 0.097;
    const auto x = static_cast<float>(slide + 928.2 - 3.6 * roll - 3.6 * sway);

    glPushMatrix();
    glTranslatef(x, -262.0f, -12.0f);
    draw_spline_ribbon_sized(path, progress, 1.0, 1.5, 1.0);
    glPopMatrix();

    glColor4f(1.3f, 1.3f, 1.3f, 0.1f);
    glPushMatrix();
    glTranslatef(0.2f, 0.2f, 0.0f);
    glTranslatef(x, -262.0f, -12.0f);
    draw_spline_ribbon_sized(path, progress, 1.0, 1.5, 1.0);
    glPopMatrix();

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// One flower of layers 38 and 39, scaled uniformly.
void draw_scaled_flower(double scale, double flower_time) {
    glPushMatrix();
    const auto s = static_cast<float>(scale);
    glScalef(s, s, s);
    draw_flower(flower_time, false);
    glPopMatrix();
}

// Layer 38: three flowers drifting right and down, 89 < t < 106.8.
void draw_three_flowers(const scene_context* scene, int texture_base, double t, double frame_start) {
    const layer_scope layer{38, t > 89.0 && t < 106.8};
    if (!layer) return;
    glDisable(GL_DEPTH_TEST);
    qm_srand(625625u);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glTranslatef(static_cast<float>(3.0 * (t - 96.0) + 851.9), static_cast<float>(-20.6 - 1.6 * (t - 96.0)),
                 35.0f);
    bind_texture_index(scene, texture_base + 24);
    if (t < 106.5) draw_scaled_flower(0.8, 0.5 * frame_start);
    draw_scaled_flower(0.4, -0.5 * frame_start);
    if (t < 106.3) draw_scaled_flower(0.1, -0.5 * frame_start);
    glPopMatrix();
}

// Layer 39: two pairs of flowers, 89 < t < 108.
void draw_four_flowers(const scene_context* scene, int texture_base, double t, double frame_start) {
    const layer_scope layer{39, t > 89.0 && t < 108.0};
    if (!layer) return;
    glDisable(GL_DEPTH_TEST);
    qm_srand(625631u);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glTranslatef(static_cast<float>(2.3 * (t - 96.0) + 799.9), static_cast<float>(-27.1 - 1.6 * (t - 96.0)),
                 35.0f);
    bind_texture_index(scene, texture_base + 24);
    glTranslatef(-0.4f, 0.0f, 0.0f);
    const double flower_time = -0.5 * frame_start;
    draw_scaled_flower(0.54, flower_time);
    if (t < 106.5) draw_scaled_flower(0.31, flower_time);
    glTranslatef(-26.8f, 0.0f, 0.0f);
    draw_scaled_flower(0.54, flower_time);
    if (t < 107.0) draw_scaled_flower(0.31, flower_time);
    glPopMatrix();
}

}  // namespace

void part_start::draw_strands_fish_and_flowers(scene_context* scene) {
    draw_dark_strands(scene, texture_base, time);
    draw_fish_strips(scene, texture_base, time);
    draw_rising_bars(scene, texture_base, time);
    draw_strand_bundles(scene, texture_base, time);
    draw_film_cards(scene, texture_base, time);
    draw_tree_and_cemetery_cards(scene, texture_base, time);
    draw_sliding_strands(scene, texture_base, time);
    draw_film_ribbon(scene, texture_base, time);
    draw_three_flowers(scene, texture_base, time, frame_start_time);
    draw_four_flowers(scene, texture_base, time, frame_start_time);
}
