#pragma once
// The random walks and ribbon passes that several late layers build from.
class scene_context;
class spline_path;
struct vec3;

struct walk_shape {
    int steps;
    int bend_after;        // bends may start after this many steps
    double bend_chance;
    int bend_steps;        // sub-steps of a half-turn bend
    float width;
};

// Appends a random walk from `start` towards -x to the path: one point per
// step, and a half-turn bend of `bend_steps` points where a draw says so.
void build_random_walk(spline_path& path, const vec3& start, const walk_shape& shape);

// The blend, depth and texture state the walk ribbons are drawn in; each
// layer restores the depth mask with end_walk_ribbons after its passes.
void begin_walk_ribbons(const scene_context* scene, int texture_base);
void end_walk_ribbons();

// One ribbon pass along the path, revealed up to count x reveal from `from`
// (a fraction of the count), shifted sideways by the pass index.
void draw_walk_ribbon(const spline_path& path, double from, double reveal, const vec3& texture_offset,
                      double pass);
