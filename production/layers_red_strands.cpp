// The last minute of the show: red strands, black cards, a film-frame ribbon,
// the shaking mincer, a curtain of blue bars and a field of additive sparks
// with a star and a glowing disc.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "production/effects.hpp"
#include "production/layers_finale_film.hpp"
#include "production/layer_notation.hpp"
#include "production/layer_switch.hpp"
#include "production/part_start.hpp"
#include "production/walk_ribbons.hpp"
#include "render/outline_tessellator.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/shaping.hpp"
#include "render/spline_path.hpp"
#include "render/texture_slots.hpp"

namespace {

using layer_gl::pi;
using layer_gl::clamp01;
using layer_gl::ease;
using layer_gl::quad;

// A strand climbing from its root, with half-turn bends (80 points) of
// alternating direction in its first half.
void build_red_strand(spline_path& path, int q) {
    const double o = 30.0 * q;
    vec3 p = make_vec3(2395.6f, 2006.6f, 19.0f);
    vec3 d = make_vec3(static_cast<float>(std::cos(pi / 2.0)), static_cast<float>(std::sin(pi / 2.0)),
                       0.0f);
    const float width = 3.0f;
    double s = q % 2 == 0 ? -1.0 : 1.0;
    const double zero = 0.0;
    for (int k = 0; k < 900; ++k) {
        vec3_add(&p, &d, &p);
        path.append(&p, &width);
        // The draw is made only once the first two tests pass.
        if (k < 450 && 1.6 * o + 100.0 < k && random_unit() < 0.018) {
            s = -s;
            const double turn = s * pi * 0.5 / 40.0;
            for (int b = 0; b < 80; ++b) {
                rotate_vec3_euler(&d, &zero, &zero, &turn);
                vec3_add(&p, &d, &p);
                path.append(&p, &width);
            }
        }
    }
}

void draw_red_strands(const scene_context* scene, int texture_base, double t) {
    const double n = 6.0 * (1.0 - clamp01(0.5 * (t - 248.0)));
    for (int q = 0; q < n; ++q) {
        qm_srand(static_cast<std::uint32_t>(q + 323423426));
        spline_path path;
        build_red_strand(path, q);
        begin_walk_ribbons(scene, texture_base);
        for (int j = -4; j <= 3; ++j) {
            const double grow = (1.9 * random_unit() + 2.0) * (t - 228.0);
            const double r = clamp01((grow > 0.0 ? grow : 0.0) * 0.03);
            const double f = clamp01(0.2 * (t - 241.0));

            glPushMatrix();
            glColor3f(0.0f, 0.0f, 0.0f);
            glTranslatef(3.5f, 3.5f, 0.0f);
            draw_walk_ribbon(path, f, r, make_vec3(0.0f, 0.0f, 0.0f), 8.0 * j);
            glPopMatrix();

            double b = 0.4 * random_unit() + 0.6;
            b = std::pow((0.1 * std::sin(0.9 * j + 3.0 * t + 0.7 * q) + 1.5) * b, 2.8);
            glPushMatrix();
            if (j == 0) b = 5.0;
            if (j == 1) b = 4.0;
            if (j == -1) b = 2.0 * b;
            const double red = random_unit() + 0.3;
            glColor3f(static_cast<float>(red * 0.6 * b), static_cast<float>(0.1 * b),
                      static_cast<float>(0.1 * b));
            glTranslatef(0.0f, 0.0f, 1.5f);
            bind_texture_index(scene, texture_base + 31 + (q + j + 93) % 4);
            const double u = (2.0 * random_unit() - 1.0) * t;
            const double v = (2.0 * random_unit() - 1.0) * t;
            const vec3 offset = make_vec3(static_cast<float>(u), static_cast<float>(v), 0.0f);
            draw_path_ribbon(&path, path.count * f, path.count * r, &offset, 0.09, 8.0 * j, 0.0, -1.0);
            glPopMatrix();
        }
        end_walk_ribbons();
    }
}

}  // namespace

void part_start::draw_red_strands_to_sparks(scene_context* scene) {
    const double t = time;

    // Layer 43: red strands, eaten from their roots from 241 s on.
    if (const layer_scope layer{43, t > 227.0 && t < 245.1})
        draw_red_strands(scene, texture_base, t);

    // Layer 44: four black cards.
    if (const layer_scope layer{44, t > 217.0 && t < 250.0}) {
        struct card {
            float x, y, z, angle, s;
        };
        constexpr card cards[] = {
            {2095.6f, 2836.6f, 49.0f, 2019.5f, 190.0f},
            {2125.6f, 2586.6f, 25.0f, 2109.5f, 290.0f},
            {2050.6f, 2086.6f, 19.0f, 2199.5f, 290.0f},
            {2515.6f, 2516.6f, 30.0f, 1929.5f, 320.0f},
        };
        for (const card& c : cards) {
            glPushMatrix();
            glTranslatef(c.x, c.y, c.z);
            glRotatef(c.angle, 0.0f, 0.0f, 1.0f);
            glScalef(c.s, c.s, 0.0f);
            glColor3f(0.0f, 0.0f, 0.0f);
            call_display_list(100);
            glPopMatrix();
        }
    }

    // Layer 45: film ribbon; the film frame of this sixtieth of a second is
    // the binding in force.
    if (const layer_scope layer{45, t > 230.0 && t < 236.0}) {
        qm_srand(423423424u);
        spline_path path;
        build_film_path(path, make_vec3(2397.4f, 1975.132f, 0.0f));
        const double progress = std::clamp((t - 230.5) * 0.07 * 1.4 * 0.3 * 3.8 * 0.9, 0.0, 0.95);
        draw_film_strip(scene, texture_base, path, t, progress,
                        {{3.4f, -14.0f, -12.0f}, {0.4f, -17.0f, -12.0f}, 4.9, 4.6, true});
    }

    // Layer 46: the mincer, shaking harder from 226 s on.
    if (const layer_scope layer{46, t > 220.0 && t < 245.0}) {
        glDepthMask(GL_FALSE);
        bind_texture_index(scene, texture_base + 250);
        glEnable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glPushMatrix();
        const double e = ease(0.5 * (t - 226.0), 2.0);
        const double dy = std::sin(t * 22.8 * 3.0) * std::sin(t * 13.0 * 3.0) * std::sin(t * 32.0 * 3.0) * e;
        const double dx =
            std::sin(t * 12.8 * 3.0) * std::sin(t * 7.0 * 3.0) * std::sin(t * 22.0 * 3.0) * e * 1.2;
        glTranslatef(static_cast<float>(dx + 2390.3), static_cast<float>(2.0 * dy + 1848.8), 20.0f);
        quad(90.0, 230.0, 230.0);
        glPopMatrix();
        glDepthMask(GL_TRUE);
    }

    // Layer 47: a curtain of untextured blue bars, fading bar by bar.
    if (const layer_scope layer{47, t > 232.0}) {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        bind_texture_index(scene, texture_base + 31);
        qm_srand(3769718578u);
        if (t > 235.5) {
            for (int p = 0; p < 55; ++p) {
                const double o = 10.0 * p;
                glPushMatrix();
                glTranslatef(1713.2f, 3581.6f, 0.0f);
                if (p > 45) glTranslatef(0.0f, 152.0f, 0.0f);
                glDisable(GL_TEXTURE_2D);
                double v = (0.7 * random_unit() + p / 20.0) * 0.15;
                v = (1.0 - ease(0.21 * (t - 267.0 - 3.0 * p / 55.0), 1.0)) * v;
                const double green = (0.5 * random_unit() + 1.0) * 0.3 * v;
                glColor3f(static_cast<float>(0.1 * v), static_cast<float>(green), static_cast<float>(v));
                glTranslatef(static_cast<float>(o), 0.0f, 0.0f);
                const double unused = random_unit();
                const double span = unused * 0.0 + t / 4.0;
                const double extent = (1.1 * random_unit() + 1.46) * input_copy.camera_offset[2];
                const double v_start = (4.0 * random_unit() - 2.0) * 0.0;
                const double u_start = (4.0 * random_unit() - 2.0) * span;
                const double angle = 0.0, sx = 5.0, sy = 800.0;
                draw_textured_quad_region(&angle, &sx, &sy, u_start, v_start, extent);
                glPopMatrix();
            }
        }
    }

    // Layer 48: additive sparks, then a star and a disc that swell at the end.
    if (const layer_scope layer{48, t > 238.1}) {
        glPushMatrix();
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glTranslatef(1639.8f, 3540.6f, 20.0f);
        glBegin(GL_QUADS);
        for (int i = 0; i < 600; ++i) {
            double a = 0.8 * random_unit() + 0.2;
            double b = (0.15 * random_unit() + 0.15) * 5.0;
            const double side = random_unit();
            const double g = clamp01((ease(0.19 * (t - 253.0), 1.0) + 0.2) * (1.0 - side) * 2.0);
            const double s = std::sin(0.15 * i + 1.5 * t);
            a = a * g * (0.6 * s + 1.0);
            b = 0.3 * s + b;
            const double c = (1.0 - ease(0.39 * (t - 265.0 - 5.0 * i / 600.0), 1.0)) * a;
            glColor3f(static_cast<float>(c), static_cast<float>(c), static_cast<float>(c));
            const auto y = static_cast<float>((800.0 * random_unit() - 400.0) * 2.0);
            const auto x = static_cast<float>((600.0 * side - 300.0) * 2.0);
            const auto h = static_cast<float>(b);
            glVertex3f(x, y, 0.0f);
            glVertex3f(x + h, y + h, 0.0f);
            glVertex3f(x, y + 2.0f * h, 0.0f);
            glVertex3f(x - h, y + h, 0.0f);
        }
        glEnd();
        glPushMatrix();
        glTranslatef(-2.0f, 331.7994f, static_cast<float>(50.0 * input_copy.camera_offset[2]));
        const double star_open = 1.0 - std::pow(1.0 - clamp01(0.3 * (t - 262.0)), 3.0);
        draw_twinkle_star(star_open, t);
        glPopMatrix();

        glEnable(GL_TEXTURE_2D);
        bind_texture_index(scene, texture_base + 10);
        const double w = 1.0 - std::pow(1.0 - clamp01(0.3 * (t - 262.2)), 3.0);
        glPushMatrix();
        glTranslatef(77.6f, 362.5994f, 0.0f);
        const double s = std::sin(pi * w);
        glColor3f(static_cast<float>(0.4 * s), static_cast<float>(0.7 * s), static_cast<float>(s));
        quad(0.0, 30.0 * s, 30.0 * s);
        glPopMatrix();
        glDisable(GL_TEXTURE_2D);
        glPopMatrix();
        glDisable(GL_BLEND);
    }
}
