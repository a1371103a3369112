// Layers 14 to 21 of the timeline: ribbons along random walks, textured
// strips, tile paths and flowers. Each layer leaves its GL state to the next.
#include "production/layers_walks_tiles.hpp"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "production/effects.hpp"
#include "production/layer_notation.hpp"
#include "production/part_start.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/shaping.hpp"
#include "render/texture_slots.hpp"

namespace {

using layer_gl::pi;
using layer_gl::clamp01;
using layer_gl::ease;

struct layer_context {
    double t;
    int texture_base;
    scene_context* scene;
    void bind_slot(int n) const { bind_texture_index(scene, texture_base + n); }
};

// One band of a walk ribbon bundle: a black shadow 0.8 up and to the right,
// then the coloured, sliding band. `shifted` moves both by (-270, 70).
// Draws u, then v; the caller has drawn the colour's numbers.
void draw_walk_band(const spline_path& path, double reach, double side, bool shifted, float r,
                    float g, float b, double t) {
    const vec3 still = make_vec3(0, 0, 0);
    glPushMatrix();
    glColor3f(0.0f, 0.0f, 0.0f);
    glTranslatef(190.8f, 123.8f, 0.0f);
    if (shifted) glTranslatef(-270.0f, 70.0f, 0.0f);
    draw_path_ribbon(&path, 0.0, reach, &still, 0.15, side, 0.0, -1.0);
    glPopMatrix();

    glPushMatrix();
    glColor3f(r, g, b);
    glTranslatef(190.0f, 123.0f, 0.0f);
    if (shifted) glTranslatef(-270.0f, 70.0f, 0.0f);
    const double u = (2.0 * random_unit() - 1.0) * t;
    const double v = (2.0 * random_unit() - 1.0) * t;
    const vec3 sliding = make_vec3(static_cast<float>(u), static_cast<float>(v), 0.0f);
    draw_path_ribbon(&path, 0.0, reach, &sliding, 0.15, side, 0.0, -1.0);
    glPopMatrix();
}

// Layer 14: three walks of five bands each, growing in from 33 s (walk 2)
// and 43 s (walks 0 and 1).
void draw_growing_walks(const layer_context& c) {
    const double t = c.t;
    const double n = (clamp01(t - 30.8) - clamp01(t - 99.0)) * 3.0;
    const layer_scope layer{14, n > 0.0};
    if (!layer) return;
    spline_path path;
    for (int w = 0; w < n; ++w) {
        if (w == 2) qm_srand(4234250u);
        random_walk_shape shape;
        shape.start = make_vec3(0, 0, 0);
        shape.direction = make_vec3(1.5f, 0, 0);
        shape.steps = 1600;
        shape.width = 1.0f;
        build_random_walk_path(path, shape);
        const double start = w == 2 ? 33.0 : 43.0;
        for (int k = -2; k <= 2; ++k) {
            const double grow = random_unit();
            const double g = clamp01(std::max((grow + 1.0) * (t - start), 0.0) * 0.03);
            const double reach = path.count * g;
            // Colour draws come before the band's offsets; the shadow draws none.
            const double shade = random_unit() * 0.2 + 0.8;
            const double red = random_unit();
            draw_walk_band(path, reach, 2.5 * k, w == 2, static_cast<float>((red + 0.3) * shade),
                           static_cast<float>(0.5 * shade), static_cast<float>(0.6 * shade), t);
        }
    }
}

// Layer 15: three shorter walks of six bands, bluer and pulsing.
void draw_pulsing_walks(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{15, t > 69.0 && t < 94.0};
    if (!layer) return;
    c.bind_slot(24);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    qm_srand(123424246u);
    spline_path path;
    for (int w = 0; w < 3; ++w) {
        random_walk_shape shape;
        shape.start = make_vec3(540.0f, 60.0f, 0.0f);
        shape.direction = make_vec3(1.5f, 0, 0);
        if (w == 2) {
            shape.start = make_vec3(540.0f, 76.0f, 0.0f);
            shape.direction = make_vec3(0, -1.5f, 0);
            shape.opening_turn_steps = 25;
            shape.opening_turn_angle = 2.0 * pi / 100.0;
        }
        shape.steps = 600;
        shape.width = 0.9f;
        build_random_walk_path(path, shape);
        for (int k = -3; k <= 2; ++k) {
            const double grow = random_unit();
            const double g = clamp01(std::max((grow + 2.0) * (t - 70.0), 0.0) * 0.02);
            const double reach = path.count * g;
            const double shade = random_unit() * 0.4 + 0.6;
            const double C = std::pow((0.3 * std::sin(0.9 * k + t + 0.7 * w) + 1.0) * shade, 2.8);
            random_unit();  // a colour the next one replaces
            const double red = random_unit();
            draw_walk_band(path, reach, 2.5 * k, w == 2, static_cast<float>((red + 0.6) * 0.3 * C),
                           static_cast<float>(0.7 * C), static_cast<float>(0.9 * C + 0.2 * w), t);
        }
    }
}

// Layer 16: twenty-one textured strips sliding sideways, brighter upwards.
void draw_sliding_strips(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{16, t > 63.0 && t < 108.0};
    if (!layer) return;
    qm_srand(42342444u);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    c.bind_slot(24);
    const double angle = 0.0, sx = 1350.0, sy = 2.3;
    for (int i = -20; i <= 0; ++i) {
        const double y = 5.0 * i + 100.0;
        glPushMatrix();
        const double q = (random_unit() * 0.8 + 0.6) * (i + 20) / 30.0;
        const double e1 = 0.5 * ease((t - 89.0) * 0.2, 1.0) + 0.8;
        const double q2 = 1.4 * e1 * q;
        const double e2 = 0.5 * ease((t - 92.0) * 0.16, 1.0) + 1.0;
        const double R = std::pow(q2, 1.5 * std::sin(0.8 * i + 1.7 * t) + 3.0);
        const double red = random_unit();
        glColor3f(static_cast<float>((red * 0.9 + 0.8) * 0.3 * R), static_cast<float>(0.8 * R),
                  static_cast<float>(0.7 * R * e2));
        glTranslatef(0.0f, static_cast<float>(y), -20.0f);
        const double w = (random_unit() + 1.0) * t * 0.25;
        const double du = (random_unit() + 1.0) * 250.0;
        const double vb = (random_unit() * 4.0 - 2.0) * 110.25 * t;
        const double u0 = (random_unit() * 4.0 - 2.0) * w;
        draw_textured_quad_region(&angle, &sx, &sy, u0, vb, du);
        glPopMatrix();
    }
}

// What every frame leaves after layer 16, whether or not it drew.
void set_tile_state(const layer_context& c) {
    c.bind_slot(1010);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.01f);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// Layer 17: three grey tile paths running downwards.
void draw_three_tile_paths(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{17, t > 38.0 && t < 83.0};
    if (!layer) return;
    struct row {
        float x;
        const char* path;
    };
    static const row rows[] = {
        {260.0f, "---rllrl-------l---r-------rl---"},
        {244.0f, "----rllrl----l-r------"},
        {228.0f, "-----l---r-l------------"},
    };
    for (const row& r : rows) {
        glPushMatrix();
        glTranslatef(r.x, 230.8f, 0.0f);
        glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
        draw_tile_path(c.scene, 0.0, r.path, false);
        glPopMatrix();
    }
}

// Layer 18: the big flower of the opening.
void draw_big_flower(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{18, t < 35.0};
    if (!layer) return;
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glTranslatef(-72.2f, 170.0f, 0.0f);
    c.bind_slot(24);
    glScalef(2.7f, 2.7f, 2.7f);
    draw_flower(0.3 * t, false);
    glPopMatrix();
}

// Layer 19: three random variants of one tile path, the upper two with a
// half-transparent copy under them. The seed is set every frame.
void draw_rewritten_tile_paths(const layer_context& c) {
    const double t = c.t;
    qm_srand(23423429u);
    const layer_scope layer{19, t < 67.0};
    if (!layer) return;
    for (int j = 0; j < 3; ++j) {
        const std::string path = rewritten_tile_row(j);
        glPushMatrix();
        glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
        glTranslatef(-65.0f, static_cast<float>(135 + 15 * j), static_cast<float>(4 * j));
        if (j > 0) draw_tile_path(c.scene, 0.0, path, true);
        glPopMatrix();
        glPushMatrix();
        glTranslatef(-63.0f, static_cast<float>(137 + 15 * j), static_cast<float>(4 * j));
        draw_tile_path(c.scene, 0.0, path, false);
        glPopMatrix();
    }
}

// Layer 20: four flowers turned a quarter apart.
void draw_flower_ring(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{20, t > 50.0 && t < 63.0};
    if (!layer) return;
    for (int n = 0; n < 4; ++n) {
        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        glTranslatef(static_cast<float>(16 * n + 227.8), 240.0f, 0.0f);
        c.bind_slot(24);
        glRotatef(static_cast<float>(90 * n), 0.0f, 0.0f, 1.0f);
        glScalef(0.7f, 0.7f, 0.7f);
        draw_flower(0.3 * t, false);
        glPopMatrix();
    }
}

void draw_black_flower(const layer_context& c, float x, float y, float size) {
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glTranslatef(x, y, 32.0f);
    c.bind_slot(24);
    glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
    glScalef(size, size, size);
    draw_flower(0.3 * c.t, true);
    glPopMatrix();
}

// Layer 21: a long black tile path, depth-tested, and black flowers.
void draw_long_tile_path(const layer_context& c) {
    const double t = c.t;
    const layer_scope layer{21, t > 25.0 && t < 77.0};
    if (!layer) return;
    const std::string path =
        "----------l-r--r-llllr-r-r-------l----rr----ll---rr---l---l-rr--ll--rrl----l--rr----------";
    glPushMatrix();
    glTranslatef(-65.0f, 133.0f, 32.0f);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glAlphaFunc(GL_GREATER, 0.81f);
    draw_tile_path(c.scene, 0.0, path, true);
    glAlphaFunc(GL_GREATER, 0.01f);
    glDisable(GL_DEPTH_TEST);
    glPopMatrix();
    if (t > 44.0 && t < 67.0) {
        draw_black_flower(c, 322.8f, 198.0f, 0.7f);
        for (int m = 0; m < 5; ++m)
            draw_black_flower(c, static_cast<float>(14 * m + 295.1), 202.8f, 0.2f);
    }
}

}  // namespace

void draw_walks_tiles_layers(const part_start& part, scene_context* scene) {
    const layer_context c{part.time, part.texture_base, scene};
    // Left by the layers before, whatever they drew.
    c.bind_slot(24);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    qm_srand(423424242u);

    draw_growing_walks(c);
    draw_pulsing_walks(c);
    draw_sliding_strips(c);
    set_tile_state(c);
    draw_three_tile_paths(c);
    draw_big_flower(c);
    draw_rewritten_tile_paths(c);
    draw_flower_ring(c);
    draw_long_tile_path(c);
}

void part_start::draw_walks_tiles_and_flowers(scene_context* scene) {
    draw_walks_tiles_layers(*this, scene);
}
