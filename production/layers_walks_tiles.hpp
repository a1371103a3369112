#pragma once
// The timeline's random-walk, tile-path and flower layers (layers 14 to 21)
// and the pieces the shaded-walk layers after them share: the random walk a
// ribbon is stroked along and the rewritten tile-path rows.
#include <string>

#include "production/layer_switch.hpp"
#include "render/spline_path.hpp"
#include "render/vec3.hpp"

class part_start;
class scene_context;

// How one random walk is built. Each step moves the pen by the direction and
// appends the point; then a turn sign and, with a small chance, a half turn
// of 15 sub-steps to that side.
struct random_walk_shape {
    vec3 start = make_vec3(0, 0, 0);
    vec3 direction = make_vec3(1.5f, 0, 0);
    int steps = 0;
    float width = 1.0f;
    // A fixed turn made once, right after the first step's point.
    int opening_turn_steps = 0;
    double opening_turn_angle = 0.0;
    // Which side a low draw (< 0.5) turns to: -1 or +1.
    double low_draw_side = -1.0;
    // The half-turn draw is made only for step indices above this.
    int bends_after = -1;
};

// Clears the path and walks it. Two draws per step (one when the step is not
// past bends_after), plus the half turns' points.
void build_random_walk_path(spline_path& path, const random_walk_shape& shape);

// Row j of the rewritten tile paths: the fixed literal, for j > 0 with twenty
// random characters made straight and ten made right turns (indices 10 to 59),
// and for j = 1 straight from index 40 on. Draws 60 numbers for j > 0.
std::string rewritten_tile_row(int j);

// Layers 14 to 21, drawn at the part's time into the current GL context.
void draw_walks_tiles_layers(const part_start& part, scene_context* scene);
