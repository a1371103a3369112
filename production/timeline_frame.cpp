// One frame of the timeline: the clears, the two drawing phases and the
// reseeding around the layer blocks, which live in the layers_*.cpp files.
#include <GL/gl.h>

#include "production/part_start.hpp"
#include "render/random.hpp"
#include "render/render_pass.hpp"
#include "render/scene_context.hpp"
#include "render/texture_slots.hpp"

void part_start::draw_timeline(scene_context* scene) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    disable_cg_profiles(scene);

    // Phase 1: depth values are written but every fragment passes.
    glPushMatrix();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scene->apply_camera();
    reset_gl_state();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glPushMatrix();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    qm_srand(42342342u);
    draw_phase1_first_layer(scene);  // layer 1 (the numbers of g_hidden_layers)
    glPopMatrix();
    draw_phase1_layers(scene);  // layers 2 to 5

    // Phase 2: every fragment multiplies what is already there.
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glPopMatrix();
    glDisable(GL_BLEND);
    glDepthFunc(GL_LEQUAL);
    disable_cg_profiles(scene);
    glPushMatrix();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scene->apply_camera();
    reset_gl_state();
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    bind_texture_index(scene, texture_base + 24);
    qm_srand(4242424242u);
    draw_rows_strips_and_figures(scene);                // layers 6 to 13
    draw_walks_tiles_and_flowers(scene);                // 14 to 21
    draw_shaded_walks_fish_and_lines(scene);            // 22 to 29
    draw_strands_fish_and_flowers(scene);               // 30 to 39
    draw_garden(scene);                                 // 40
    draw_figure_paths_flyers_swings_and_cards(scene);   // 41 and 42
    draw_red_strands_to_sparks(scene);                  // 43 to 48
    draw_finale(scene);                                 // 49
    glDisable(GL_DEPTH_TEST);
    glPopMatrix();

    // After phase 2, in the scene pass's own matrix.
    draw_last_film_ribbon_and_curtains(scene);  // layers 50 and 51
}
