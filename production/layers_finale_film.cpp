#include "production/layers_finale_film.hpp"

#include <GL/gl.h>

#include <cmath>

#include "production/effects.hpp"
#include "render/spline_path.hpp"
#include "render/texture_slots.hpp"
#include "render/vec3.hpp"

void build_film_path(spline_path& path, vec3 p) {
    const vec3 d = make_vec3(0.0f, 1.0f, 0.0f);
    for (int k = 0; k < 600; ++k) {
        vec3_add(&p, &d, &p);
        path.append_point(&p);
    }
}

void draw_film_strip(const scene_context* scene, int texture_base, const spline_path& path, double t,
                     double progress, const film_strip_passes& passes) {
    glEnable(GL_BLEND);
    bind_texture_index(scene, texture_base + 222);
    bind_texture_index(scene, texture_base + 800 + static_cast<int>(std::trunc(60.0 * t)) % 60);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.41f, 0.4f, 0.41f, 1.0f);
    glPushMatrix();
    glTranslatef(passes.dark[0], passes.dark[1], passes.dark[2]);
    draw_spline_ribbon_sized(path, progress, 1.0, passes.width, passes.length);
    glPopMatrix();
    if (passes.depth_test_off_before_bright) glDisable(GL_DEPTH_TEST);
    glColor4f(1.21f, 1.2f, 1.21f, 1.0f);
    glPushMatrix();
    glTranslatef(passes.bright[0], passes.bright[1], passes.bright[2]);
    draw_spline_ribbon_sized(path, progress, 1.0, passes.width, passes.length);
    glPopMatrix();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
