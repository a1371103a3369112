#pragma once
// The show's one part: its clocks, the procedural paths and points its layers
// draw, its copy of the frame input and its texture-slot offset.
#include <cstdint>
#include <memory>
#include <vector>

#include "production/parts.hpp"
#include "render/camera_frame.hpp"
#include "render/spline_path.hpp"
#include "render/vec3.hpp"
#include "shell/frame_input.hpp"

// Two owned buffers nothing allocates; kept for the object's layout.
struct buffer_pair {
    std::unique_ptr<std::uint8_t[]> first;
    std::unique_ptr<std::uint8_t[]> second;
    ~buffer_pair() {
        second.reset();
        first.reset();
    }
};

class part_start final : public parts {
public:
    part_start();

    void render(double* frame_delta, offscreen_target* target, scene_context* scene,
                frame_input* input) override;
    void load(scene_context* scene) override;
    void draw_timeline(scene_context* scene);

    // The procedural data `load` generates (exposed for tests).
    void generate_strands();
    void generate_walk_path();
    void generate_scatter_points();

    std::vector<int> spare_list;
    spline_path path_pool_20a[20];
    spline_path path_pool_50a[50];
    spline_path path_pool_50b[50];
    spline_path path_pool_50c[50];
    spline_path path_pool_10[10];
    spline_path path_pool_20b[20];
    spline_path path_pool_250[250];
    spline_path path_pool_200[200];
    spline_path strand_paths[300];
    vec3 scatter_points[1000];
    spline_path walk_path;
    spline_path spare_path;
    double fast_clock = 0.0;
    double time = 0.0;
    double frame_start_time = 0.0;
    std::int32_t frame_count = 0;
    buffer_pair scratch_buffers;
    double spare_value = 0.0;
    camera_frame camera_copy;
    std::int32_t texture_base = 0;
    std::vector<int> spare_vector;
    frame_input input_copy;
    std::int32_t copy_slot = 0;
    std::int32_t option_values[29] = {};
    spline_path figure_paths[2];

    // Layer blocks of the timeline, in drawing order; draw_timeline calls
    // them between its own state changes (tests run them one at a time).
    void draw_phase1_first_layer(scene_context* scene);
    void draw_phase1_layers(scene_context* scene);
    void draw_rows_strips_and_figures(scene_context* scene);
    void draw_walks_tiles_and_flowers(scene_context* scene);
    void draw_shaded_walks_fish_and_lines(scene_context* scene);
    void draw_strands_fish_and_flowers(scene_context* scene);
    void draw_garden(scene_context* scene);
    void draw_figure_paths_flyers_swings_and_cards(scene_context* scene);
    void draw_red_strands_to_sparks(scene_context* scene);
    void draw_finale(scene_context* scene);
    void draw_last_film_ribbon_and_curtains(scene_context* scene);

private:
    void load_textures(scene_context* scene);
    void place_envelope_camera(scene_context* scene);
    void apply_camera_keys(scene_context* scene);
};

// The part whose render is in progress; the draw callback reaches it here.
extern part_start* g_current_part;
extern double g_part_time;
extern frame_input g_frame_input_copy;

void draw_timeline_callback(scene_context* scene);
