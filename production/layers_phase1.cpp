// Phase 1 of the timeline frame: the falling red shapes, the white cards and
// bar, the sliding collage and the late black and white cards. The depth test
// passes everything here, so later drawing always covers earlier drawing.
#include "production/layers_phase1.hpp"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>

#include "production/effects.hpp"
#include "production/layer_notation.hpp"
#include "production/layer_switch.hpp"
#include "production/part_start.hpp"
#include "render/outline_tessellator.hpp"
#include "render/random.hpp"
#include "render/texture_slots.hpp"

using namespace layer_gl;

namespace {

constexpr std::int32_t card_list = 100;          // figure 1 of the second outline file
constexpr std::int32_t first_shape_list = 1001;  // 32 shapes of the third outline file
constexpr int picture_slot = 50;

void draw_falling_shapes(double t) {
    const layer_scope layer{1, t < 20.03};
    if (!layer) return;
    for (int i = 0; i < 180; ++i) {
        const double u = (random_unit() + 0.5) * 0.8;
        const double s = random_unit() * 1.5 + 1.0;
        glPushMatrix();
        const double a = std::max(t - 0.119 * i, 0.0);  // each shape starts 0.119 s later
        const double fall = std::pow((random_unit() + 1.0) * 0.4 * a, 2.3);
        const double y = 4.0 * t + 140.0 - 6.0 * fall;
        const double x = (random_unit() * 200.0 - 100.0) * 0.8;
        translate(x, y, 0.0);
        scale(150.0 * s, 150.0 * s, 150.0 * s);
        rotate_z((random_unit() - 0.5) * 320.0 * t);
        const double dy = random_unit() * 0.02;
        const double dx = random_unit() * 0.02;
        translate(dx, dy, 0.0);
        // Blending ends up off, but this blend function stays set for later layers.
        glEnable(GL_BLEND);
        glBlendFunc(GL_ZERO, GL_SRC_COLOR);
        glDisable(GL_BLEND);
        colour(0.4 * u, 0.3 * u, 0.3 * u);
        call_display_list(first_shape_list + qm_rand() % 32);
        glPopMatrix();
    }
}

// One outline card: push, translate, turn, flat scale, grey level, list, pop.
void draw_card(double x, double y, double z, double angle, double size, double grey) {
    glPushMatrix();
    translate(x, y, z);
    rotate_z(angle);
    scale(size, size, 0.0);
    colour(grey, grey, grey);
    call_display_list(card_list);
    glPopMatrix();
}

void draw_white_cards_and_bar(double t) {
    const layer_scope layer{2, t < 95.8};
    if (!layer) return;
    glDisable(GL_TEXTURE_2D);
    colour(1.0, 1.0, 1.0);
    if (t < 54.0) {
        draw_card(0.0, 158.0, 0.0, 20.0, 200.0, 1.0);
        draw_card(172.0, 158.0, 0.0, -20.0, 100.0, 1.0);
    }
    glPushMatrix();
    translate(550.0, 188.0, 0.0);
    colour(1.0, 1.0, 1.0);
    quad(0.0, 400.0, 90.0);
    glPopMatrix();
}

// Blending by alpha, opaque black, alpha test at one half: the tile paths'
// drawing state (their tiles cut out by the tile alpha).
void set_tile_state() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    colour(0.0, 0.0, 0.0, 1.0);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);
}

void draw_collage_tile_paths(scene_context* scene, double t, double slide) {
    glPushMatrix();
    set_tile_state();
    translate(929.5 + slide, -279.8, -1.0);
    rotate_z(90.0);
    glEnable(GL_TEXTURE_2D);
    if (t < 140.0) draw_tile_path(scene, 0.0, "-------", true);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glPopMatrix();

    qm_srand(424242445u);
    if (!(t < 149.9)) return;
    for (int k = 0; k < 5; ++k) {
        const tile_path row = timeline_layers::collage_tile_row(k);
        glPushMatrix();
        set_tile_state();
        translate(971.5 + slide, 120.0 * k - 299.8, 40.0 - 10.0 * k);
        if (k == 4) translate(-40.0, 0.0, 6.0);
        rotate_z(90.0);
        glEnable(GL_TEXTURE_2D);
        draw_tile_path(scene, 0.0, row, true);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_ALPHA_TEST);
        glPopMatrix();
    }
}

void draw_collage_branches(double t, double slide) {
    if (t < 154.9) {
        for (int i = 0; i < 5; ++i) {
            glPushMatrix();
            translate(835.5 + slide, 35.0 * i - 242.7, 50.0);
            qm_srand(600011u + i);
            scale(10.0, 10.0, 10.0);
            rotate_z(90.0);
            draw_random_branches(1.0, 1, 1.0, 0.2 * t);
            glPopMatrix();
        }
    }
    if (t < 154.5) {
        for (int i = 0; i < 10; ++i) {
            const double n = 160.0 - i;
            glPushMatrix();
            translate(n + 845.5 + slide, 55.0 * i - 177.4, 4.0 * std::sin(i) - 7.0);
            qm_srand(500000u + i);
            scale(-10.0, 10.0, 10.0);
            rotate_z(90.0);
            draw_random_branches(1.0, 1, 1.0, 0.4 * t + 0.4 * i);
            glPopMatrix();
        }
    }
}

// A swarm of blobs flying out of one point along eased arcs.
struct blob_swarm {
    std::uint32_t seed;
    double open, close;  // the window, open bounds
    int count;
    double start, delay;  // blob i starts at start + delay i
    double speed;
    bool rising;  // y follows the eased arc with height and sharpness below
    double rise, sharpness;
    double y_base, x_sway, x_base;
    bool follows_camera;  // adds the camera offset z to x
    bool random_depth;    // z drawn per blob, else depth
    double depth;
    double jitter, size;
};

constexpr blob_swarm blob_swarms[] = {
    {423423423u, 122.0, 132.0, 100, 122.0, 0.02, 0.3 * 1.6, true, 1.0, 4, 0.0, 1.0, 0.0, true,
     false, 0.0, 8.0, 0.5},
    {423423423u, 128.0, 140.0, 170, 125.0, 0.07, 0.4, false, 0.0, 0, 170.0, 0.3, 42.0, false,
     true, 0.0, 8.0, 0.7},
    {423423323u, 141.0, 154.0, 170, 135.0, 0.07, 0.4, false, 0.0, 0, 480.0, 0.3, 12.0, false,
     true, 0.0, 8.0, 0.7},
    {423423423u, 138.0, 150.0, 40, 140.2, 0.02, 0.3 * 1.8, true, 1.2, 5, 354.0, 1.0, -50.0, false,
     false, -10.0, 3.0, 0.5},
};

void draw_blob_swarm(const blob_swarm& swarm, double t, double slide, double camera_z) {
    qm_srand(swarm.seed);  // before the window test
    if (!(swarm.open < t && t < swarm.close)) return;
    for (int i = 0; i < swarm.count; ++i) {
        glPushMatrix();
        const double a = std::max(t - swarm.start - swarm.delay * i, 0.0);
        const double p = (random_unit() + 1.0) * 0.2 * a * swarm.speed;
        const double back = -62.0 * p;
        double e = 0.0;
        if (swarm.rising)
            e = swarm.rise *
                (1.0 - std::pow(1.0 - std::sin(clamp01(p) * std::numbers::pi / 2.0), swarm.sharpness));
        const double sway_y = 2.0 * std::sin((random_unit() + 1.0) * t) + swarm.y_base;
        const double sway_x = swarm.x_sway * std::sin((random_unit() + 1.0) * t) + swarm.x_base +
                              (swarm.follows_camera ? camera_z : 0.0);
        const double z = swarm.random_depth ? random_unit() * 5.0 + 4.0 : swarm.depth;
        const double y = random_unit() * swarm.jitter + sway_y + 25.0 * e - 227.4;
        const double x = random_unit() * swarm.jitter + sway_x + back + 925.5 + slide;
        translate(x, y, z);
        qm_srand(500000u + i);
        const double r = random_unit() * swarm.size;
        scale(-r, r, r);
        draw_blob(t);
        glPopMatrix();
    }
}

void draw_collage_picture_and_still_branches(scene_context* scene, int texture_base,
                                             double slide) {
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);
    bind_texture_index(scene, texture_base + picture_slot);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    colour(0.0, 0.0, 0.0, 10.0);  // black through the picture's alpha
    glPushMatrix();
    translate(1004.1 + slide, 99.3, -10.0);
    scale(1.0, 1.0, 1.0);
    quad(90.0, 65.0, 234.0);
    glPopMatrix();

    for (int k = 0; k < 7; ++k) {
        glDisable(GL_TEXTURE_2D);
        glPushMatrix();
        translate(699.7 + slide, 4.0 * k + 82.3, -10.0);
        qm_srand(600024u + k);
        scale(10.0, 10.0, 10.0);
        rotate_z(90.0);
        colour(1.0, 1.0, 1.0);
        draw_random_branches(1.0, 1, 1.0, 0.0);  // curl phase 0: these stand still
        glPopMatrix();
    }
    glDisable(GL_ALPHA_TEST);
}

void draw_sliding_collage(const part_start& part, scene_context* scene) {
    const double t = part.time;
    const layer_scope layer{3, t > 119.0};
    if (!layer) return;
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    colour(1.0, 1.0, 1.0);
    const double g = 1.0 - ease((t - 120.0) * 0.1, 1.0);
    const double h = ease((t - 126.0) * 0.15, 1.0);
    const double slide = 50.0 * g - 30.0 * h;

    if (t < 155.0) draw_card(920.0 + slide, -70.0, 0.0, 2301.5, 300.0, 1.0);
    if (t > 136.0) {
        glPushMatrix();
        translate(660.0 + slide, 270.0, 0.0);
        colour(1.0, 1.0, 1.0);
        quad(0.0, 200.0, 1000.0);
        glPopMatrix();
    }
    if (121.0 < t && t < 156.0) draw_card(920.0 + slide, 270.0, 0.0, 2301.5, 300.0, 1.0);
    if (120.0 < t && t < 154.0) draw_card(1044.0 + slide, -70.0, -20.0, 2311.5, 200.0, 0.0);
    if (t < 148.0) draw_card(1005.5 + slide, 220.0, -10.0, 2271.5, 200.0, 0.0);

    draw_collage_tile_paths(scene, t, slide);

    if (t < 146.9) draw_card(845.5 + slide, -340.7, -10.0, 1861.5, 200.0, 0.0);
    glPushMatrix();
    translate(845.5 + slide, 799.3, -10.0);
    colour(1.0, 1.0, 1.0);
    quad(0.0, 500.0, 500.0);
    colour(0.0, 0.0, 0.0);  // the branches below inherit black
    glPopMatrix();

    draw_collage_branches(t, slide);
    for (const blob_swarm& swarm : blob_swarms)
        draw_blob_swarm(swarm, t, slide, part.input_copy.camera_offset[2]);
    draw_collage_picture_and_still_branches(scene, part.texture_base, slide);
}

// Drawn in whatever state the collage leaves (it always runs before these).
void draw_black_cards(double t) {
    const layer_scope layer{4, 153.0 < t && t < 191.0};
    if (!layer) return;
    draw_card(815.5, 739.3, -10.0, 1811.5, 250.0, 0.0);
    for (const auto& [x, y] : {std::pair{1245.5, 1229.3}, std::pair{1135.5, 1319.3}}) {
        glPushMatrix();
        translate(x, y, -10.0);
        colour(0.0, 0.0, 0.0);
        if (t < 190.0) quad(0.0, 500.0, 500.0);
        glPopMatrix();
    }
}

struct white_card {
    double x, y, z, angle, size;
    double until;  // shown while t < until
};

constexpr double always = std::numeric_limits<double>::infinity();
constexpr white_card white_cards[] = {
    {915.5, 859.3, -10.0, 1861.5, 200.0, always},   {1135.5, 1109.3, -5.0, 1936.5, 350.0, 248.0},
    {1135.5, 1409.3, -5.0, 1892.5, 350.0, 247.0},   {1489.5, 1329.3, -5.0, 1936.5, 350.0, always},
    {1423.9, 1549.3, -5.0, 2026.5, 250.0, 247.5},   {1752.434, 1869.3, 5.0, 1936.5, 650.0, 248.5},
    {2012.434, 1869.3, 5.0, 1846.5, 350.0, 247.3},  {2362.434, 2294.3, 5.0, 1936.5, 550.0, 246.6},
};

void draw_white_cards(double t) {
    const layer_scope layer{5, 153.0 < t && t < 249.0};
    if (!layer) return;
    for (const white_card& c : white_cards)
        if (t < c.until) draw_card(c.x, c.y, c.z, c.angle, c.size, 1.0);
}

}  // namespace

namespace timeline_layers {

std::string collage_tile_row(int k) {
    std::string row = "-l--r--r-ll--r--r---ll---r---r--lrlr-";
    if (k > 0)
        for (int n = 0; n < 4; ++n) {
            const int index = qm_rand() % 20 + 1;
            row[index] = '-';
        }
    return row;
}

void phase1_first_layer(const part_start& part, scene_context*) { draw_falling_shapes(part.time); }

void phase1_layers(const part_start& part, scene_context* scene) {
    draw_white_cards_and_bar(part.time);
    draw_sliding_collage(part, scene);
    draw_black_cards(part.time);
    draw_white_cards(part.time);
}

}  // namespace timeline_layers

void part_start::draw_phase1_first_layer(scene_context* scene) {
    timeline_layers::phase1_first_layer(*this, scene);
}

void part_start::draw_phase1_layers(scene_context* scene) {
    timeline_layers::phase1_layers(*this, scene);
}
