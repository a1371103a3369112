// The finale (walls, cards, bushes, photographs, two trees and a film ribbon),
// and the two layers drawn after phase 2: a last film ribbon and the black
// curtains that cover the opening seconds.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <numbers>

#include "production/effects.hpp"
#include "production/layers_finale_film.hpp"
#include "production/layer_notation.hpp"
#include "production/layer_switch.hpp"
#include "production/part_start.hpp"
#include "render/outline_tessellator.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/shaping.hpp"
#include "render/spline_path.hpp"
#include "render/texture_slots.hpp"

namespace {

using layer_gl::card_texturing;
using layer_gl::clamp01;
using layer_gl::draw_black_card;
using layer_gl::pi;
using layer_gl::ease;
using layer_gl::quad;

constexpr std::uint32_t film_seed = 423423424u;

double clamp_progress(double x) { return x < 0.0 ? 0.0 : (x > 0.95 ? 0.95 : x); }


struct bush_row {
    double after;     // drawn for t > after
    int first_o, last_o;
    double x, dx, y, dy;
    double z_range, z_base;
    std::uint32_t seed;   // seed + o
    double size, angle;
    double curl_rate;     // curl phase 0.3 o + curl_rate t
};

// One bush: its height draws from the generator before the bush reseeds it.
void draw_bush(const bush_row& row, int o, double t) {
    glPushMatrix();
    const double z = row.z_range * random_unit() + row.z_base;
    glTranslatef(static_cast<float>(row.x + row.dx * o), static_cast<float>(row.y + row.dy * o),
                 static_cast<float>(z));
    qm_srand(row.seed + static_cast<std::uint32_t>(o));
    const auto k = static_cast<float>(row.size);
    glScalef(k, k, k);
    glRotatef(static_cast<float>(row.angle), 0.0f, 0.0f, 1.0f);
    draw_random_branches(1.0, 1, 1.0, 0.3 * o + row.curl_rate * t);
    glPopMatrix();
}

// A black tree grown from the origin a quarter turn from +x, mirrored and
// flattened by the caller's scale. The discarded draws fix its shape.
void draw_tree(double t, std::uint32_t seed, int discarded, float x, float y, float sx, float sy) {
    glDisable(GL_BLEND);
    qm_srand(seed);
    for (int i = 0; i < discarded; ++i) random_unit();
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glScalef(sx, sy, sx);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    vec3 d = make_vec3(1.0f, 0.0f, 0.0f);
    const double zero = 0.0, quarter = pi / 2.0;
    rotate_vec3_euler(&d, &zero, &zero, &quarter);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    tree_branch trunk;
    trunk.time = t;
    trunk.position = make_vec3(0.0f, 0.0f, 0.0f);
    const float step = 0.4f;
    vec3_scale(&d, &step, &trunk.direction);
    trunk.depth = 0;
    trunk.thickness = 1.0;
    draw_tree_branch(trunk);
    glPopMatrix();
}

void turn_and_step(vec3& p, vec3& d, double angle, spline_path& path) {
    const double zero = 0.0;
    rotate_vec3_euler(&d, &zero, &zero, &angle);
    vec3_add(&p, &d, &p);
    path.append_point(&p);
}

// The wandering film strip of the finale: 800 steps up with small random
// bends and three fixed curves.
void build_finale_film_path(spline_path& path) {
    vec3 p = make_vec3(2005.4f, 2941.132f, 15.0f);
    vec3 d = make_vec3(0.0f, 1.0f, 0.0f);
    for (int k = 0; k < 800; ++k) {
        vec3_add(&p, &d, &p);
        path.append_point(&p);
        random_unit();   // drawn and discarded
        const double wander = random_unit() - 0.5;
        if (k > 50 && random_unit() < 0.05) {
            for (int b = 0; b < 8; ++b) turn_and_step(p, d, wander * 1.8 * 0.1 * pi / 10.0, path);
        }
        if (k == 35) {
            for (int b = 0; b < 50; ++b) turn_and_step(p, d, -0.01005309649148734, path);
        } else if (k == 225) {
            for (int b = 0; b < 270; ++b) turn_and_step(p, d, 0.003926990816987242, path);
        } else if (k == 355) {
            for (int b = 0; b < 60; ++b) turn_and_step(p, d, 0.0036651914291880917, path);
        }
    }
}

void draw_wall_pair(const scene_context* scene) {
    glPushMatrix();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);
    glTranslatef(2050.6f, 2901.6f, 20.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glScalef(1.02f, 1.02f, 1.02f);
    draw_tile_path(scene, 0.0, "---------", true);
    glTranslatef(0.0f, -25.0f, 15.0f);
    glScalef(1.22f, 1.22f, 1.22f);
    draw_tile_path(scene, 0.0, "-----l--r--", true);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glPopMatrix();
}

void draw_photographs(const scene_context* scene, int texture_base, double t) {
    bind_texture_index(scene, texture_base + 450);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(2159.8f, 3334.8f, 0.0f);
    quad(90.0, 320.0, 160.0);
    glPopMatrix();
    bind_texture_index(scene, texture_base + 451);
    glPushMatrix();
    glTranslatef(2239.8f, 3290.8f, 10.0f);
    quad(90.0, 80.0, 40.0);
    glPopMatrix();
    bind_texture_index(scene, texture_base + 452);
    glPushMatrix();
    glTranslatef(2242.6f, 3265.6f, 0.0f);
    glScalef(1.0f, -1.0f, 1.0f);
    quad(90.0, 36.0, 35.0);
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    if (t > 250.0) {
        draw_black_card(2151.8, 3743.132, 25.0, 2874.5, 290.0, card_texturing::off);
        draw_black_card(2231.8, 3879.132, 30.0, 3084.5, 320.0, card_texturing::off);
    }
}

// One black curtain: a strip of 300 rows from the screen edge at x = edge
// to a rippling inner edge `reach` units inwards.
void draw_curtain(float edge, double k, double t) {
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i < 300; ++i) {
        const auto y = static_cast<float>(2.0 * i / 300.0 - 1.0);
        const double w = (1.0 + std::fabs(0.2 * std::sin(20.0 * i / 300.0 + 9.0 * t))) * k;
        glVertex3f(edge, y, 0.0f);
        glVertex3f(static_cast<float>(edge < 0.0f ? w - 1.0 : 1.0 - w), y, 0.0f);
    }
    glEnd();
}

}  // namespace

void part_start::draw_finale(scene_context* scene) {
    const double t = time;
    if (const layer_scope layer{49, t > 230.0}) {
        if (t > 235.0 && t < 251.0) draw_wall_pair(scene);

        // Everything up to the trees is lifted by 8 units from 233 s on.
        const bool group_open = t > 233.0;
        if (group_open) {
            glPushMatrix();
            glTranslatef(0.0f, 8.0f, 0.0f);
            draw_black_card(2050.6, 2836.6, 40.0, 2944.5, 290.0, card_texturing::off);
        }

        if (t > 232.0 && t < 250.0) draw_black_card(2050.6, 2796.6, 20.0, 2764.5, 290.0, card_texturing::off);
        if (t > 232.5 && t < 251.0) draw_black_card(2139.8, 2980.6, 60.0, 2784.5, 190.0, card_texturing::off);
        if (t > 240.0 && t < 259.0) draw_black_card(2219.8, 2980.6, 20.0, 2814.5, 190.0, card_texturing::off);

        const bush_row bushes[] = {
            {236.0, -1, 2, 2139.8, -24.0, 2980.6, -24.0, 10.0, 35.0, 620011u, 10.0, 620.0, 0.6},
            {237.0, 0, 2, 2287.8, 0.0, 2950.6, -6.2, 50.0, 85.0, 630011u, 30.0, 620.0, 0.6},
            {238.0, 0, 4, 2219.8, 0.0, 3820.6, -68.2, 50.0, 85.0, 250023u, 22.0, 620.0, 0.2},
            {242.0, -1, 0, 2439.8, 0.0, 3270.6, -130.2, 40.0, 35.0, 250225u, 22.0, 600.0, 0.2},
        };
        for (const bush_row& row : bushes) {
            if (!(t > row.after)) continue;
            for (int o = row.first_o; o <= row.last_o; ++o) draw_bush(row, o, t);
        }

        if (t > 241.3) draw_photographs(scene, texture_base, t);

        if (t > 241.1) draw_tree(t, 23423u, 1000, 2261.8f, 3263.132f, 25.2f, -32.76f);
        if (t > 242.1) {
            draw_tree(t, 13433u, 998, 2181.8f, 3513.932f, 16.8f, -21.84f);
            glEnable(GL_BLEND);
            glEnable(GL_TEXTURE_2D);
        }

        if (group_open) glPopMatrix();

        // The finale's own film ribbon, fading out over the last half second.
        if (t > 245.98 && t < 261.5) {
            qm_srand(film_seed);
            spline_path path;
            build_finale_film_path(path);
            glEnable(GL_BLEND);
            bind_texture_index(scene, texture_base + 222);
            glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
            glEnable(GL_TEXTURE_2D);
            const double v = clamp_progress((t - 246.0) * 0.07 * 1.4 * 0.5);
            const auto k = static_cast<float>(ease(1.0 - clamp01(2.0 * (t - 261.0)), 1.0));
            glColor4f(k, k, k, k);
            glPushMatrix();
            draw_spline_ribbon(path, v, -1.0);
            glPopMatrix();
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
    }
}

void part_start::draw_last_film_ribbon_and_curtains(scene_context* scene) {
    const double t = time;

    // Layer 50: the last film ribbon, high above the finale.
    if (const layer_scope layer{50, t > 238.0 && t < 247.0}) {
        qm_srand(film_seed);
        spline_path path;
        build_film_path(path, make_vec3(2073.4f, 2379.132f, 15.0f));
        const double progress = clamp_progress((t - 236.0) * 0.07 * 1.4 * 0.3 * 3.8 * 0.9);
        draw_film_strip(scene, texture_base, path, t, progress,
                        {{0.0f, 0.0f, 90.0f}, {0.4f, 0.4f, 90.0f}, 2.5, 2.0, false});
    }

    // Layer 51: two black curtains in front of the camera, closed until
    // 8.5 s and drawn apart by about 9.83 s. From 0.6 in front, a 75-degree
    // view sees +-0.46 vertically, so the curtains' +-1 spans cover screens
    // up to an aspect of about 2.17.
    if (const layer_scope layer{51, t < 11.0}) {
        glPushMatrix();
        glLoadIdentity();
        gluLookAt(0.0, 0.0, 0.6, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glColor3f(0.0f, 0.0f, 0.0f);
        glDisable(GL_TEXTURE_2D);
        const double k = 1.0 - ease(0.75 * (t - 8.5), 2.0);
        draw_curtain(-1.0f, k, t);
        draw_curtain(1.0f, k, t);
        glPopMatrix();
    }
}
