#include "production/part_start.hpp"

void part_start::draw_figure_paths_flyers_swings_and_cards(scene_context*) {}
