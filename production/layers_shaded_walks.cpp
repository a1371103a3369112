#include "production/part_start.hpp"

void part_start::draw_shaded_walks_fish_and_lines(scene_context*) {}
