#include "production/scene_timeline.hpp"

scene_timeline g_scene_timeline;

namespace {

constexpr double layer_bounds[11][2] = {
    {0.0, 31.9},   {31.9, 62.2},   {62.2, 123.0}, {92.5, 128.0}, {105.7, 123.5}, {123.5, 215.1},
    {215.1, 245.1}, {245.1, 275.0}, {264.7, 308.0}, {291.6, 1310.0}, {59.0, 66.0},
};

constexpr scene_interval scene_rows[31] = {
    {80.0, 85.14, 1},       {85.14, 92.85, 2},      {92.85, 98.0, 3},       {104.94, 105.01, 4},
    {105.01, 105.134, 5},   {0.0, 80.0, 9},         {226.281, 227.281, 1},  {246.86, 250.282, 2},
    {227.281, 229.715, 3},  {274.329, 274.765, 21}, {274.765, 275.07, 21},  {275.07, 275.402, 21},
    {275.402, 276.031, 21}, {276.031, 276.356, 21}, {276.356, 276.688, 21}, {276.688, 277.752, 21},
    {277.752, 277.965, 21}, {277.965, 278.289, 21}, {278.289, 278.595, 21}, {278.595, 279.438, 21},
    {279.438, 280.102, 21}, {280.102, 280.741, 21}, {280.741, 281.178, 21}, {281.741, 291.178, 21},
    {267.442, 267.755, 21}, {267.775, 268.073, 21}, {268.073, 268.5, 21},   {268.5, 269.141, 21},
    {269.141, 274.329, 21}, {270.858, 271.07, 21},  {271.402, 271.713, 21},
};

}  // namespace

void scene_timeline::init() {
    for (int k = 0; k < 11; ++k) {
        layer_intervals[k].start = layer_bounds[k][0];
        layer_intervals[k].end = layer_bounds[k][1];
        layer_factors[k] = 1.0;
    }
    for (int i = 0; i < 31; ++i) scene_intervals[i] = scene_rows[i];
    scene_interval_count = 31;
    last_scene_index = -1;
}

std::int32_t scene_timeline::scene_at(bool* changed, double t) {
    int index = -1;
    for (int i = 0; i < scene_interval_count; ++i)
        if (scene_intervals[i].start <= t && t <= scene_intervals[i].end) index = i;
    const bool matched = index >= 0;
    if (matched && index != last_scene_index) {
        *changed = true;
        last_scene_index = index;
    } else {
        *changed = !matched;
    }
    if (!matched) return 0;
    current_scene_index = index;
    return scene_intervals[index].scene_id;
}

const std::int32_t* scene_timeline::active_layers_at(double t) {
    active_count = 0;
    for (std::int32_t& entry : active_layers) entry = 0;
    for (int k = 0; k < 11; ++k) {
        if (layer_intervals[k].start <= t && t <= layer_intervals[k].end) active_layers[active_count++] = k;
        if (active_layers[0] == 8 && active_layers[1] == 9) {
            active_layers[0] = 9;
            active_layers[1] = 8;
        }
        if (active_count == 3 && active_layers[1] == 3 && active_layers[2] == 4) {
            active_layers[1] = 4;
            active_layers[2] = 3;
        }
    }
    return active_layers;
}
