#pragma once
// The timeline's shaded walk ribbons, fish strips and traced lines (layers
// 22 to 29), drawn at the part's time into the current GL context.
class part_start;
class scene_context;
class spline_path;

// The traced lines, built from the generator's current state into a cleared
// path: layer 25's runs down the left and its middle wanders with t (809
// draws); layer 28's runs down to the right and sinks with t (818 draws).
void trace_wandering_line(spline_path& path, double t);
void trace_sinking_line(spline_path& path, double t);

void draw_shaded_walks_layers(const part_start& part, scene_context* scene);
