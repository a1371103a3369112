#pragma once
// Maps the demo clock to a scene number and a list of active layers; the
// results only go into the frame input.
#include <cstdint>

struct layer_interval {
    double start;
    double end;
    double spare;
};

struct scene_interval {
    double start;
    double end;
    std::int32_t scene_id;
};

class scene_timeline {
public:
    void init();
    std::int32_t scene_at(bool* changed, double t);
    const std::int32_t* active_layers_at(double t);

    layer_interval layer_intervals[11] = {};
    scene_interval scene_intervals[300] = {};
    std::int32_t scene_interval_count = 0;
    std::int32_t active_layers[11] = {};
    std::int32_t active_count = 0;
    std::int32_t last_scene_index = 0;
    std::int32_t current_scene_index = 0;
    double layer_factors[11] = {};
};

extern scene_timeline g_scene_timeline;
