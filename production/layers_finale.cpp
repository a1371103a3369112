#include "production/part_start.hpp"

void part_start::draw_finale(scene_context*) {}
void part_start::draw_last_film_ribbon_and_curtains(scene_context*) {}
