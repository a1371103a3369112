// Timeline layer 40, the garden (140 < t < 176): chains and bars, a
// swarm of black blobs, flowers, branch bushes, three tile-path walls and a
// large card. It sets the GL state it needs and leaves it for the next
// layer; every random draw below is part of the picture, used or not.
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

#include "production/effects.hpp"
#include "production/layer_notation.hpp"
#include "production/layer_switch.hpp"
#include "production/part_start.hpp"
#include "render/outline_tessellator.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/shaping.hpp"
#include "render/texture_slots.hpp"

namespace {

using layer_gl::pi;
using layer_gl::clamp01;
using layer_gl::ease;
using layer_gl::quad;

void translate(double x, double y, double z) {
    glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void uniform_scale(double s) {
    const auto f = static_cast<float>(s);
    glScalef(f, f, f);
}

// The blend, colour and alpha test a black tile-path wall is drawn in.
void begin_black_wall() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);
}

struct garden_flower {
    double x, y, z;
    double scale;
    bool turned;      // half a turn about z before drawing
    double phase;     // flower time per unit of the (doubled) chain spread
    double until;     // drawn while t is below this
};

// The flower bed on the chains' card.
constexpr std::array<garden_flower, 6> flower_bed = {{
    {50.0, -20.0, 5.0, 1.0, false, 0.3, 173.2},
    {77.8, -20.0, 5.0, 1.0, false, 0.5, 173.3},
    {90.8, -54.5, 5.0, 2.0, false, -0.25, 173.4},
    {90.8, -54.5, 5.0, 0.7, false, -0.75, 173.5},
    {90.8, -95.5, 5.0, 1.5, true, 0.25, 173.6},
    {90.8, -95.5, 5.0, 0.7, false, -0.75, 173.7},
}};

// A column of three small flowers, the middle one turned back upright.
void draw_flower_column(double x, double z, double flower_time, bool silhouette) {
    for (int i = 0; i < 3; ++i) {
        glPushMatrix();
        translate(x, 11.6 * i + 12.5, z);
        uniform_scale(0.5);
        glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
        if (i == 1) glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
        draw_flower(flower_time, silhouette);
        glPopMatrix();
    }
}

// 100 black blobs flying out to the right and upward, 159 < t < 164.
void draw_blob_swarm(double t) {
    for (int i = 0; i < 100; ++i) {
        glPushMatrix();
        const double v = std::max(t - 159.0 - 0.03 * i, 0.0);
        const double speed = random_unit();
        const double s = (1.5 * speed + 1.0) * 0.2 * v * 0.4 * 1.7;
        const double w = 1.0 - std::pow(1.0 - std::sin(0.5 * pi * clamp01(s)), 4.0);
        const double wobble_x = random_unit();
        const double x_offset = 0.3 * std::sin(0.4 * i + 17.0 * t) + 5.2 - 2.0 * std::sin((wobble_x + 1.0) * 1.2 * t);
        const double wobble_r = random_unit();
        const double r = std::sin((wobble_r + 1.0) * 1.2 * t) + 136.7;
        const double rise = random_unit();
        const double y = x_offset - 25.0 * w * rise;
        const double jitter = random_unit();
        const double x = 8.0 * jitter + r - 62.0 * s;
        translate(x, y, 0.0);
        qm_srand(static_cast<std::uint32_t>(i + 500000));
        const double size_draw = random_unit();
        const double size = 0.6 * size_draw * (1.0 - clamp01(t - 163.0));
        glScalef(static_cast<float>(-size), static_cast<float>(size), static_cast<float>(size));
        draw_blob(t);
        glPopMatrix();
    }
}

// Chains, bars, blobs and flowers, 152 < t < 174, in one matrix.
void draw_chains_and_flowers(const scene_context* scene, int texture_base, double t, double offset_x) {
    const double ramp_input = std::max(0.5 * (t - 157.0), 0.0);
    double spread = shape_gamma_ramp(&ramp_input);
    glPushMatrix();
    glTranslatef(4.4f, -10.0f, 0.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    translate(offset_x + 578.5 + 124.0, 680.2, -10.0);
    bind_texture_index(scene, texture_base + 55);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);

    // The chains part sideways as the spread grows.
    glPushMatrix();
    translate(-15.0 * spread, 0.0, 0.0);
    quad(90.0, 8.0, 128.0);
    glPopMatrix();
    glPushMatrix();
    translate(15.0 * spread, 0.0, 0.0);
    glTranslatef(-80.0f, -140.0f, 0.0f);
    quad(90.0, 8.0, 128.0);
    glPopMatrix();

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glPushMatrix();
    translate(-15.0 * spread, 0.0, 0.0);
    glTranslatef(139.0f, 0.0f, 0.0f);
    quad(90.0, 3.5, 12.0);
    glPopMatrix();
    glPushMatrix();
    translate(15.0 * spread, 0.0, 0.0);
    glTranslatef(-80.0f, -140.0f, 0.0f);
    glTranslatef(139.0f, 0.0f, 0.0f);
    quad(90.0, 3.5, 12.0);
    glPopMatrix();

    qm_srand(1552958444u);
    if (t > 159.0 && t < 164.0) draw_blob_swarm(t);

    qm_srand(1552958444u);
    glEnable(GL_TEXTURE_2D);
    bind_texture_index(scene, texture_base + 24);
    spread = 2.0 * spread;
    for (const garden_flower& f : flower_bed) {
        if (!(t < f.until)) continue;
        glPushMatrix();
        translate(f.x, f.y, f.z);
        uniform_scale(f.scale);
        if (f.turned) glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
        draw_flower(f.phase * spread, false);
        glPopMatrix();
    }
    if (t > 152.2 && t < 173.35) draw_flower_column(108.8, 5.0, 0.75 * spread, false);
    if (t > 152.2 && t < 171.35) draw_flower_column(158.8, 68.0, 0.75 * spread, true);

    glPopMatrix();
    glDisable(GL_ALPHA_TEST);
}

// One random branch bush: its own seed, mirrored in x and turned.
void draw_bush(std::uint32_t seed, double scale, float angle, double t) {
    qm_srand(seed);
    glScalef(static_cast<float>(-scale), static_cast<float>(scale), static_cast<float>(scale));
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    draw_random_branches(1.0, 1, 1.0, 0.2 * t);
}

const std::string short_wall = "-------";
const std::string long_wall = "-l--r--r-ll--r--r---ll---r---r--lrlr-";

}  // namespace

void part_start::draw_garden(scene_context* scene) {
    const double t = time;
    const layer_scope layer{40, t > 140.0 && t < 176.0};
    if (!layer) return;

    // The slide the collage and the film ribbon share; it has settled at -30
    // before this window opens.
    const double g = 1.0 - ease(0.1 * (t - 120.0), 1.0);
    const double h = ease(0.15 * (t - 126.0), 1.0);
    const double offset_x = 50.0 * g - 30.0 * h;

    if (t > 152.0 && t < 174.0) draw_chains_and_flowers(scene, texture_base, t, offset_x);

    qm_srand(2512740974u);
    if (t > 150.0 && t < 173.9) {
        for (int o = 0; o < 5; ++o) {
            glPushMatrix();
            const double z_draw = random_unit();
            translate(offset_x + 819.5 + 124.0, 25.0 * o + 613.3, 30.0 * z_draw + 40.0);
            draw_bush(static_cast<std::uint32_t>(o + 600011), 10.0, 90.0f, t);
            glPopMatrix();
        }
    }
    if (t > 151.5 && t < 180.3) {
        for (int o = 0; o < 2; ++o) {
            glPushMatrix();
            const double z_draw = random_unit();
            translate(offset_x + 763.5 + 124.0, input_copy.camera_offset[2] + 693.3 + 3.0 * o, 5.0 * z_draw - 5.0);
            draw_bush(static_cast<std::uint32_t>(o + 600011), 6.0, 62.0f, t);
            glPopMatrix();
        }
    }

    // The short wall.
    glPushMatrix();
    begin_black_wall();
    glEnable(GL_TEXTURE_2D);
    translate(offset_x + 722.5 + 124.0, 680.2, -10.0);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    if (t < 172.9) draw_tile_path(scene, 0.0, short_wall, true);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glPopMatrix();

    // Three long walls; the second and third lose up to four turns among
    // their first characters, the same ones every frame.
    qm_srand(421242645u);
    if (t > 153.0 && t < 171.9) {
        for (int p = 0; p < 3; ++p) {
            std::string wall = long_wall;
            if (p > 0) {
                for (int n = 0; n < 4; ++n) {
                    const int k = qm_rand() % 20 + 1;
                    wall[static_cast<std::size_t>(k)] = '-';
                }
            }
            glPushMatrix();
            begin_black_wall();
            translate(offset_x + 792.5 + 124.0, 120.0 * p + 440.2, 20.0 + 30.0 * p);
            glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
            glEnable(GL_TEXTURE_2D);
            draw_tile_path(scene, 0.0, wall, true);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_ALPHA_TEST);
            glPopMatrix();
        }
    }

    if (t > 154.0 && t < 174.4) {
        glPushMatrix();
        glTranslatef(705.5f, 869.3f, -10.0f);
        glRotatef(1967.5f, 0.0f, 0.0f, 1.0f);
        glScalef(250.0f, 250.0f, 0.0f);
        glColor3f(0.0f, 0.0f, 0.0f);
        call_display_list(100);
        glPopMatrix();
    }
}
