// The figure paths with their file of flyers, and the large composite of the
// middle of the show's last third: black cards, tile-path walls, silhouetted
// paths with flying figures and rows of swinging hammers.
#include <GL/gl.h>

#include <numbers>
#include <string>

#include "production/effects.hpp"
#include "production/layer_notation.hpp"
#include "production/layer_switch.hpp"
#include "production/part_start.hpp"
#include "render/outline_tessellator.hpp"
#include "render/quads.hpp"
#include "render/random.hpp"
#include "render/texture_slots.hpp"

namespace {

using layer_gl::card_texturing;
using layer_gl::draw_black_card;
using layer_gl::pi;

constexpr std::int32_t card_list = 100;
constexpr int flyer_body_slot = 150;
constexpr std::uint32_t figure_path_seed = 423424242u;

const tile_path wall_p62 = "------r---l-rr-----ll---r-----l-rlrlrl---r---r---ll--rr-l-----";
const tile_path wall_p56a = "----r---l-rr----ll---r----rlrlrl---r---r---ll--rr-l-----";
const tile_path wall_p49 = "----rr---ll----------l--rr--l----l-rlrlrrlrl-----";
const tile_path wall_p56b = "----rr---ll----------l--rr--l----l-rlrlrrlrlr----r--l---";

// 100 steps of 10 straight up, with a clockwise bend of 3 degrees per point
// inserted after step 43. The seed is set although no draw follows.
void rebuild_figure_path(spline_path& path, int bend_points) {
    qm_srand(figure_path_seed);
    path.clear();
    vec3 p = make_vec3(0.0f, 0.0f, 0.0f);
    vec3 d = make_vec3(0.0f, 10.0f, 0.0f);
    const float width = 1.0f;
    const double zero = 0.0;
    const double bend = -0.05235987755982988;
    for (int k = 0; k < 100; ++k) {
        vec3_add(&p, &d, &p);
        path.append(&p, &width);
        if (k == 43) {
            for (int b = 0; b < bend_points; ++b) {
                rotate_vec3_euler(&d, &zero, &zero, &bend);
                vec3_add(&p, &d, &p);
                path.append(&p, &width);
            }
        }
    }
}


// The alpha-tested black tile-path wall; the alpha test stays on afterwards.
void draw_wall(const scene_context* scene, double x, double y, double z, double angle,
               const tile_path& path, bool drawn, bool black_before_call) {
    glPushMatrix();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_TEXTURE_2D);
    glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    glRotatef(static_cast<float>(angle), 0.0f, 0.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    if (black_before_call) glColor3f(0.0f, 0.0f, 0.0f);
    if (drawn) draw_tile_path(scene, 0.0, path, true);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

struct hammer_row {
    bool open;
    int first_o, last_o;
    double x, dx;   // x + dx o
    double y, dy;   // y + dy o
    double z, angle, size;
    bool black;     // sets the colour again before the figure
};

}  // namespace

void part_start::draw_figure_paths_flyers_swings_and_cards(scene_context* scene) {
    // Layer 41: the figure paths, rebuilt every frame, and a file of flyers.
    if (const layer_scope layer{41, time > 170.0}) {
        glPushMatrix();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        bind_texture_index(scene, texture_base + flyer_body_slot);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glTranslatef(1085.5f, 939.3f, 0.0f);
        glDisable(GL_CULL_FACE);
        rebuild_figure_path(figure_paths[0], 59);
        rebuild_figure_path(figure_paths[1], 30);
        if (time > 174.4 && time < 200.0) {
            for (int o = 0; o < 28; ++o)
                draw_spline_flyer(scene, figure_paths[0], 4.0 * (29 - o) + time - 174.0,
                                  0.08 * o + fast_clock * pi / 2.0);
        }
        glPopMatrix();
    }

    // Layer 42: the composite.
    const layer_scope layer{42, time > 158.0 && time < 250.0};
    if (!layer) return;
    const double t = time;

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glPushMatrix();
    glTranslatef(1245.5f, 1109.3f, 25.0f);
    glRotatef(1936.5f, 0.0f, 0.0f, 1.0f);
    glScalef(250.0f, 250.0f, 0.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    if (t > 175.0 && t < 194.0) call_display_list(card_list);
    glPopMatrix();

    draw_wall(scene, 821.5, 796.8, -5.0, 90.0, wall_p62, t < 180.0, false);

    if (t > 175.0 && t < 198.0) draw_black_card(1329.5, 1253.3, 15.0, 1926.5, 280.0, card_texturing::as_found);
    if (t > 175.0 && t < 198.5) draw_black_card(1225.5, 1309.3, 20.0, 1926.5, 180.0, card_texturing::as_found);
    if (t > 175.0 && t < 197.0) draw_black_card(1217.5, 1309.3, 20.0, 1946.5, 80.0, card_texturing::as_found);

    // An untextured black bar.
    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glTranslatef(1242.5f, 1109.3f, 0.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    if (t < 194.0) {
        const double angle = 0.0, sx = 60.0, sy = 280.0;
        draw_textured_quad(&angle, &sx, &sy);
    }
    glPopMatrix();

    glPushMatrix();
    glTranslatef(1239.5f, 1437.3f, 15.0f);
    glRotatef(1872.5f, 0.0f, 0.0f, 1.0f);
    glScalef(60.0f, 60.0f, 0.0f);
    if (t < 194.5) call_display_list(card_list);
    glPopMatrix();

    const double flap_phase = fast_clock * pi / 2.0;

    // Flyer group A: figures past point 496.4 are hidden.
    if (t > 202.0 && t < 234.0) {
        glPushMatrix();
        glTranslatef(1780.5f, 1330.1f, 20.0f);
        glColor3f(1.0f, 1.0f, 1.0f);
        glDisable(GL_TEXTURE_2D);
        draw_spline_silhouette(figure_paths[1]);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glColor3f(1.0f, 1.0f, 1.0f);
        bind_texture_index(scene, texture_base + flyer_body_slot);
        for (int o = 0; o < 15; ++o) {
            const double q = 4.0 * (38 - o) + 1.5 * t;
            if (q < 496.4) draw_spline_flyer(scene, figure_paths[1], q, flap_phase + 0.08 * o);
        }
        glPopMatrix();
    }

    // Flyer group B.
    if (t > 187.0 && t < 211.0) {
        glPushMatrix();
        glTranslatef(1964.5f, 1177.3f, 80.0f);
        glRotatef(85.0f, 0.0f, 0.0f, 1.0f);
        glDisable(GL_TEXTURE_2D);
        draw_spline_silhouette(figure_paths[0]);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        bind_texture_index(scene, texture_base + flyer_body_slot);
        glColor3f(1.0f, 1.0f, 1.0f);
        for (int o = 0; o < 28; ++o)
            draw_spline_flyer(scene, figure_paths[0], 4.0 * (37 - o) + 1.5 * t, 0.08 * o + flap_phase);
        glPopMatrix();
    }

    // Flyer group C, in black.
    if (t > 197.0 && t < 212.0) {
        glPushMatrix();
        glTranslatef(1728.5f, 2260.1f, 120.0f);
        glRotatef(185.0f, 0.0f, 0.0f, 1.0f);
        glColor3f(0.0f, 0.0f, 0.0f);
        glDisable(GL_TEXTURE_2D);
        draw_spline_silhouette(figure_paths[0]);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        bind_texture_index(scene, texture_base + flyer_body_slot);
        const double shift = 5.0 * input_copy.camera_offset[2];
        for (int o = 0; o < 20; ++o)
            draw_spline_flyer(scene, figure_paths[0], 4.0 * o + shift + 1.5 * t, 0.08 * o + flap_phase);
        glPopMatrix();
    }

    // Swinging hammers.
    if (t > 160.0 && t < 217.0) {
        const double u = fast_clock + 1.4;
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glColor3f(0.0f, 0.0f, 0.0f);
        const hammer_row rows[] = {
            {t < 190.0, 0, 3, 1165.5, 0.0, 1109.3, 50.0, 25.0, 474.0, 1.0, false},
            {t > 202.0 && t < 219.0, 0, 4, 1873.1, 0.0, 1559.3, 50.0, 25.0, 474.0, 1.0, false},
            {t < 186.0, -1, 0, 1015.5, 0.0, 1109.3, 50.0, 10.0, 298.8, 1.0, false},
            {t > 185.0 && t < 196.0, -1, 0, 1385.5, 0.0, 1173.3, 50.0, 10.0, 298.8, 1.0, false},
            {t < 197.0, 0, 2, 1146.5, 0.0, 1190.5, 50.0, 99.0, 96.0, 0.6, true},
            {t < 197.0, 0, 2, 875.5, 50.0, 909.3, 20.0, -5.0, 932.8, 1.0, false},
            {t < 197.0, 0, 2, 1415.5, 20.0, 1483.3, 0.0, 135.0, 903.4, 0.4, true},
        };
        for (const hammer_row& row : rows) {
            if (!row.open) continue;
            for (int o = row.first_o; o <= row.last_o; ++o) {
                glPushMatrix();
                glTranslatef(static_cast<float>(row.x + row.dx * o),
                             static_cast<float>(row.y + row.dy * o), static_cast<float>(row.z));
                glRotatef(static_cast<float>(row.angle), 0.0f, 0.0f, 1.0f);
                if (row.black) glColor3f(0.0f, 0.0f, 0.0f);
                draw_swinging_list(u - 0.035 * o, row.size);
                glPopMatrix();
            }
        }
    }

    if (t > 190.0 && t < 232.0) {
        glPushMatrix();
        glDisable(GL_TEXTURE_2D);
        glColor3f(0.0f, 0.0f, 0.0f);
        glTranslatef(1637.5f, 1436.9f, 90.0f);
        glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
        glScalef(250.0f, 250.0f, 0.0f);
        if (t < 210.0) call_display_list(card_list);
        glPopMatrix();
        glPushMatrix();
        glDisable(GL_TEXTURE_2D);
        glColor3f(0.0f, 0.0f, 0.0f);
        glTranslatef(1487.5f, 1405.7f, 99.0f);
        glRotatef(120.0f, 0.0f, 0.0f, 1.0f);
        glScalef(150.0f, 150.0f, 0.0f);
        call_display_list(card_list);
        glPopMatrix();
    }

    if (t > 206.0 && t < 233.0) {
        draw_black_card(2070.434, 1843.1, 35.0, 2031.5, 250.0, card_texturing::as_found);
        draw_black_card(2110.434, 1843.1, 25.0, 2031.5, 250.0, card_texturing::as_found);
        draw_black_card(1920.634, 1655.1, 35.0, 1929.5, 190.0, card_texturing::as_found);
    }

    if (t > 173.0 && t < 201.0) {
        draw_wall(scene, 1117.5, 1356.8, 65.0, 0.0, wall_p56a, true, false);
        draw_wall(scene, 1249.5, 1528.8, 135.0, 0.0, wall_p49, true, true);
        draw_wall(scene, 1117.5, 1206.8, 105.0, 90.0, wall_p49, true, false);
        draw_wall(scene, 1377.5, 1206.8, 105.0, 90.0, wall_p56b, true, false);
    }
}
