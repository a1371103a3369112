// The random walk the ribbon layers stroke along, and the rewritten tile rows.
#include <numbers>

#include "production/layers_walks_tiles.hpp"
#include "render/random.hpp"

namespace {

void turn_and_step(spline_path& path, vec3& p, vec3& d, double angle, float width) {
    const double zero = 0.0;
    rotate_vec3_euler(&d, &zero, &zero, &angle);
    vec3_add(&p, &d, &p);
    path.append(&p, &width);
}

}  // namespace

void build_random_walk_path(spline_path& path, const random_walk_shape& shape) {
    path.clear();
    vec3 p = shape.start;
    vec3 d = shape.direction;
    for (int step = 0; step < shape.steps; ++step) {
        vec3_add(&p, &d, &p);
        path.append(&p, &shape.width);
        if (step == 0)
            for (int i = 0; i < shape.opening_turn_steps; ++i)
                turn_and_step(path, p, d, shape.opening_turn_angle, shape.width);
        const double side = random_unit() < 0.5 ? shape.low_draw_side : -shape.low_draw_side;
        if (step > shape.bends_after && random_unit() < 0.02)
            for (int i = 0; i < 15; ++i)
                turn_and_step(path, p, d, side * std::numbers::pi / 15.0, shape.width);
    }
}

std::string rewritten_tile_row(int j) {
    std::string path = "---------r--l-l-r--r-l-l-l--rr-rll-r-l-lr-r--rl--rll--rr--ll--l--rr";
    if (j > 0) {
        // Indices 10 to 59 always fall inside the 67 characters.
        for (int i = 0; i < 20; ++i) path[static_cast<std::size_t>(qm_rand() % 50 + 10)] = '-';
        for (int i = 0; i < 10; ++i) path[static_cast<std::size_t>(qm_rand() % 50 + 10)] = 'r';
    }
    if (j == 1)
        for (std::size_t i = 40; i < path.size(); ++i) path[i] = '-';
    return path;
}
