#include "production/part_start.hpp"

void part_start::draw_strands_fish_and_flowers(scene_context*) {}
