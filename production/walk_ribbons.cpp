#include "production/walk_ribbons.hpp"

#include <GL/gl.h>

#include <cmath>

#include "render/random.hpp"
#include "render/spline_path.hpp"
#include "render/texture_slots.hpp"
#include "render/vec3.hpp"

void build_random_walk(spline_path& path, const vec3& start, const walk_shape& shape) {
    vec3 p = start;
    p.state = 1;
    vec3 d = make_vec3(static_cast<float>(std::cos(M_PI)), static_cast<float>(std::sin(M_PI)), 0.0f);
    for (int k = 0; k < shape.steps; ++k) {
        vec3_add(&p, &d, &p);
        path.append(&p, &shape.width);
        const double side = random_unit() < 0.5 ? 1.0 : -1.0;
        if (k > shape.bend_after && random_unit() < shape.bend_chance) {
            const double zero = 0.0;
            const double turn = side * M_PI / shape.bend_steps;
            for (int b = 0; b < shape.bend_steps; ++b) {
                rotate_vec3_euler(&d, &zero, &zero, &turn);
                vec3_add(&p, &d, &p);
                path.append(&p, &shape.width);
            }
        }
    }
}

void begin_walk_ribbons(const scene_context* scene, int texture_base) {
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    bind_texture_index(scene, texture_base + 990);
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    bind_texture_index(scene, texture_base + 24);
    glEnable(GL_TEXTURE_2D);
}

void end_walk_ribbons() { glDepthMask(GL_TRUE); }

void draw_walk_ribbon(const spline_path& path, double from, double reveal, const vec3& texture_offset,
                      double pass) {
    draw_path_ribbon(&path, path.count * from, path.count * reveal, &texture_offset, 0.15, pass, 0.0, -1.0);
}
