#include "production/part_start.hpp"

void part_start::draw_phase1_first_layer(scene_context*) {}
void part_start::draw_phase1_layers(scene_context*) {}
