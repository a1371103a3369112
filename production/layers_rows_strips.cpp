// The first block of phase 2 of the timeline frame: wavy rows, the cel
// picture, the textured and plain strips, the drifting flakes, the cemetery
// boards and the opening wire figures with their growing stalks. Phase 2
// starts with the multiplying blend, so these darken and tint the phase-1
// picture.
#include "production/layers_rows_strips.hpp"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "production/effects.hpp"
#include "production/layer_notation.hpp"
#include "production/layer_switch.hpp"
#include "production/part_start.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/texture_slots.hpp"

using namespace layer_gl;

namespace {

constexpr double two_pi = 2.0 * std::numbers::pi;

constexpr int flake_slot = 10;
constexpr int pattern_slot = 24;
constexpr int cel_slot = 111;
constexpr int board_slot = 2000;

// The shared row offsets: a sum of beating sines that scrolls with t.
void fill_row_offsets(double t) {
    for (int i = 0; i < row_offset_count; ++i) {
        const double phi = (0.02 * t + i / 1000.0) * two_pi;
        const double a1 = 1.4 * std::sin(14.0 * phi) * std::sin(22.0 * phi) * std::sin(11.5 * phi);
        const double a2 = 0.7 * std::sin(11.0 * phi) * std::sin(8.0 * phi) * std::sin(2.5 * phi);
        const double u = 0.3 * std::sin(2.7 * phi) * std::sin(4.8 * phi) * std::sin(8.5 * phi) + 1.0;
        const double w = 1.4 * std::sin(20.0 * phi) * std::sin(12.0 * phi) * std::sin(7.5 * phi);
        g_row_offsets[i] = w + a2 * (a1 - u);
    }
}

void draw_wavy_rows(double t) {
    const layer_scope layer{6, 115.0 < t && t < 174.0};
    if (!layer) return;
    const double envelope =
        0.5 + 0.5 * ease((t - 124.0) * 0.2, 1.0) + 0.4 * ease((t - 153.0) * 0.2, 1.0);
    fill_row_offsets(t);
    double brightness = 0.15;
    for (int k = -5; k <= 89; ++k) {
        const bool plain = k <= 10;
        if (!plain) brightness += 0.05;
        glPushMatrix();
        translate(5.0 * k + 700.0, 100.0, 0.0);
        const double c = (random_unit() * 0.4 + 0.6) * envelope;
        if (plain) {
            const double q = 0.4 * c;
            colour(0.2 * q, 0.8 * q, q);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_BLEND);
            const double du = (random_unit() * 0.6 + 1.0) * 0.5;
            const double u0 = (random_unit() - 0.5) * 2.0 * t;
            quad_region(0.0, 4.5, 670.0, u0, 0.0, du);
        } else {
            const double q = c * 0.8 * brightness;
            const double green = (random_unit() * 0.3 + 0.7) * 0.9 * q;
            colour(0.1 * q, green, q, 1.0);
            glEnable(GL_TEXTURE_2D);
            glEnable(GL_BLEND);
            const double du = (random_unit() * 0.6 + 1.0) * 0.5 * 0.8;
            const double u0 = (random_unit() - 0.5) * 4.0 * t;
            offset_strip(0.0, 2.5, 670.0, u0, 0.0, du, 0.4);
        }
        glPopMatrix();
    }
}

void draw_cel_picture(scene_context* scene, int texture_base, double t) {
    const layer_scope layer{7, 156.0 < t && t < 246.2};
    if (!layer) return;
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    bind_texture_index(scene, texture_base + cel_slot);
    const double e = ease((t - 158.5) * 0.5, 1.0);
    colour(0.2 * e, 0.42 * e, 0.52 * e);
    glPushMatrix();
    translate(1960.0, 1933.4, -40.0);
    quad_region(90.0, 1200.0, 1200.0, 0.0, -0.02 * t, 3.4);
    glPopMatrix();
}

// The four draws of a strip row after its colour, in draw order, and the
// strip 2700 wide that slides with them.
void draw_strip_region(double t, double sy) {
    const double w = (random_unit() + 1.0) * t * 0.25;
    const double du = (random_unit() + 1.0) * 300.0;
    const double vb = (random_unit() * 4.0 - 2.0) * 110.25 * t;
    const double u0 = (random_unit() * 4.0 - 2.0) * w;
    quad_region(0.0, 1350.0, sy, u0, vb, du);
}

// Rows higher up are brighter; the exponent makes each row pulse in turn.
void draw_textured_strips(double t) {
    const layer_scope layer{8, t < 97.0};
    if (!layer) return;
    for (int i = 0; i < 30; ++i) {
        glPushMatrix();
        const double q = (random_unit() * 0.8 + 0.6) * (i / 30.0) * 0.8;
        const double r = std::pow(q, 2.0 * std::sin(0.8 * i + 0.7 * t) + 3.0);
        random_unit();  // a colour the next one replaces
        colour((random_unit() * 0.6 + 0.5) * r, 0.6 * r, 0.2 * r);
        translate(0.0, 90.0 + 5.0 * i, 0.0);
        draw_strip_region(t, 2.3);
        glPopMatrix();
    }
}

void draw_thin_textured_strips(double t) {
    qm_srand(424444u);  // before the window test
    if (const layer_scope layer{9, t < 98.0}) {
        for (int i = 0; i < 30; ++i) {
            glPushMatrix();
            const double q = (random_unit() * 0.8 + 0.6) * (i / 30.0) * 0.8;
            const double r = 0.7 * std::pow(q, std::sin(0.1 * i + 0.5 * t) + 3.0);
            random_unit();  // a colour the next one replaces
            colour((random_unit() + 0.5) * 0.7 * r, 0.6 * r, 0.3 * r);
            translate(0.0, 90.0 + 5.0 * i + 2.6, 0.0);
            draw_strip_region(t, 0.4);
            glPopMatrix();
        }
    }
    glDisable(GL_TEXTURE_2D);
}

void draw_plain_strips(double t) {
    const layer_scope layer{10, 40.0 < t && t < 90.0};
    if (!layer) return;
    for (int i = 0; i < 10; ++i) {
        glPushMatrix();
        const double q = (random_unit() * 0.2 + 0.8) * (1.0 - i / 30.0) * 0.3;
        colour(0.2 * q, 0.8 * q, q);
        translate(0.0, 5.0 * i + 239.8, 0.0);
        draw_strip_region(t, 2.5);
        glPopMatrix();
    }
}

void draw_flakes(scene_context* scene, int texture_base, double t) {
    const layer_scope layer{11, t < 41.0};
    if (!layer) return;
    glEnable(GL_DEPTH_TEST);
    bind_texture_index(scene, texture_base + flake_slot);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    glPushMatrix();
    translate(0.0, -51.2, 0.0);
    qm_srand(4234234u);
    glPointSize(12.0f);  // stays set
    glBegin(GL_QUADS);
    // 2000 flakes until 37 s, thinning to none a third of a second after 40 s.
    const double n = (1.0 - clamp01((t - 37.0) * 0.333)) * 2000.0;
    for (int i = 0; i < n; ++i) {
        const double g = random_unit() * 0.8 + 0.2;
        const double s = random_unit() * 0.15 + 0.15;
        colour(g, g, g);
        const double d = (random_unit() * 0.3 + 0.01) * 3.0 * t * 0.15 * 0.12;
        const auto p = static_cast<float>(random_unit() * 800.0 + d);
        const double y = (random_unit() - 0.5) * 480.0;
        random_unit();  // drawn, not used
        // The fractional part: each flake drifts right and wraps in a band 288 wide.
        const double x = (p - std::trunc(p)) * 288.0 - 80.0;
        glVertex3f(static_cast<float>(x), static_cast<float>(y), 0.0f);
        glVertex3f(static_cast<float>(x + s), static_cast<float>(y + s), 0.0f);
        glVertex3f(static_cast<float>(x), static_cast<float>(y + 2.0 * s), 0.0f);
        glVertex3f(static_cast<float>(x - s), static_cast<float>(y + s), 0.0f);
    }
    glEnd();
    glPopMatrix();
    glDisable(GL_DEPTH_TEST);
}

// The frame buffer multiplied by the inverse of the board picture.
void draw_cemetery_boards(scene_context* scene, int texture_base, double t) {
    const layer_scope layer{12, 45.0 < t && t < 97.0};
    if (!layer) return;
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_TEXTURE_2D);
    colour(1.0, 1.0, 1.0);
    bind_texture_index(scene, texture_base + board_slot);
    glPushMatrix();
    translate(420.0, 252.2, 0.0);
    quad(0.0, 120.0, 15.0);
    glPopMatrix();
    glPushMatrix();
    translate(744.0, 248.8, 0.0);
    quad(0.0, 88.0, 11.0);
    glPopMatrix();
}

void draw_wire_figures(scene_context* scene, int texture_base, double t) {
    const double n = (clamp01(t + 2.0) - clamp01(t - 20.0)) * 10.0;
    for (int j = 0; j < n; ++j) {
        const bool with_flower = j == 9;
        const int shift = (9 - j) / 3 + 1;
        const double y0 = 2.5 * j + 592.0;
        const double phase = 0.3 * (0.1 * j + t - 35.0 * t);
        for (const double mirror : {1.0, -1.0}) {
            glPushMatrix();
            glEnable(GL_TEXTURE_2D);
            translate(30.0, y0, 0.0);
            bind_texture_index(scene, texture_base + pattern_slot);
            if (mirror < 0.0) scale(-1.0, 1.0, 1.0);
            translate(-shift, 0.0, 0.0);
            draw_wire_figure(phase, with_flower, 0.0);
            glPopMatrix();
        }
        if (j == 1 || j == 4 || j == 7) {
            const double small_phase = 0.3 * (0.1 * j + t - 16.0);
            glPushMatrix();
            glEnable(GL_TEXTURE_2D);
            translate(30.0, y0 + 2.8, 0.0);
            bind_texture_index(scene, texture_base + pattern_slot);
            scale(0.5, -0.5, 0.5);
            translate(-10.0, 0.0, 0.0);
            draw_wire_figure_small(small_phase, false);
            glPopMatrix();
            glPushMatrix();
            glEnable(GL_TEXTURE_2D);
            translate(30.0, y0, 0.0);
            bind_texture_index(scene, texture_base + pattern_slot);
            scale(-0.5, -0.5, 0.5);
            translate(-10.0, 0.0, 0.0);
            draw_wire_figure_small(small_phase, false);
            glPopMatrix();
        }
    }
}

void draw_stalks(const part_start& part, scene_context* scene, double t) {
    // None before 0 s, 200 from 4 s, thinning from 15 s to none at 19 s.
    const double m = (clamp01(0.25 * t) - clamp01((t - 15.0) * 0.25)) * 200.0;
    for (int k = 0; k < m; ++k) {
        glPushMatrix();
        translate(20.3, 617.2, 10.0 * part.input_copy.camera_offset[2]);
        if (k % 2 == 1) translate(18.0, 0.0, 0.0);
        const double speed = random_unit() * 0.02 + 1.0;
        const double grown = std::min(std::max(t - 0.05 * k, 0.0) * 0.7, 30.0);
        random_unit();  // drawn, not used
        const double offset = random_unit() * 80.0;
        vec3 point = make_vec3(0.0f, 0.0f, 0.0f);
        part.walk_path.point_at(static_cast<float>(offset + 7.0 * grown * speed), &point);
        const double start = point.x - offset;
        bind_texture_index(scene, part.texture_base + flake_slot);
        scale(0.28, 0.28, 0.28);
        draw_growing_stalk(part.strand_paths[k], start, start / 7.0, 1.7, 1.0);
        glPopMatrix();
    }
}

void draw_figures_and_stalks(const part_start& part, scene_context* scene) {
    const double t = part.time;
    const layer_scope layer{13, t < 21.0};
    if (!layer) return;
    qm_srand(12342354u);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glPushMatrix();
    translate(0.0, -100.0, 0.0);
    const double r0 = clamp01(0.17 * t);
    const double r1 = r0 + 0.09 * std::sin(3.0 * t);  // not clamped again
    const double q = 1.0;
    const double lift = 10.0 - 88.0 * shape_cosine_pulse(&r1, &q);
    const double a = std::max(t - 12.0, 0.0) * 2.5;
    translate(10.0 * std::sin(0.6 * t), a * a + lift + 8.4 * (t - 2.0) + 12.0, 1.8);
    rotate_z(10.0 * std::sin(0.4 * t) + 0.25 * a * a);
    const double grow =
        3.55 * ease(clamp01(std::sin(std::numbers::pi * clamp01((t - 4.0) * 0.1))), 1.0);
    scale(grow + 1.1, grow + 1.1, 1.0);
    translate(-30.0, -599.5, 0.0);

    draw_wire_figures(scene, part.texture_base, t);

    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    qm_srand(234234u);
    draw_stalks(part, scene, t);

    glPopMatrix();
    glDepthMask(GL_TRUE);
    glDisable(GL_DEPTH_TEST);
}

}  // namespace

namespace timeline_layers {

void rows_strips_and_figures(const part_start& part, scene_context* scene) {
    const double t = part.time;
    draw_wavy_rows(t);
    draw_cel_picture(scene, part.texture_base, t);
    draw_textured_strips(t);
    draw_thin_textured_strips(t);
    draw_plain_strips(t);
    draw_flakes(scene, part.texture_base, t);
    draw_cemetery_boards(scene, part.texture_base, t);
    draw_figures_and_stalks(part, scene);
}

}  // namespace timeline_layers

void part_start::draw_rows_strips_and_figures(scene_context* scene) {
    timeline_layers::rows_strips_and_figures(*this, scene);
}
