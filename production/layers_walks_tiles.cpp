#include "production/part_start.hpp"

void part_start::draw_walks_tiles_and_flowers(scene_context*) {}
