#include "production/part_start.hpp"

void part_start::draw_red_strands_to_sparks(scene_context*) {}
