#include "production/part_start.hpp"

void part_start::draw_garden(scene_context*) {}
