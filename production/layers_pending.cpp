// Layer blocks whose drawing is still to come; each moves to its own file
// when it is written.
#include "production/part_start.hpp"

void part_start::draw_phase1_first_layer(scene_context*) {}
void part_start::draw_phase1_layers(scene_context*) {}
void part_start::draw_rows_strips_and_figures(scene_context*) {}
void part_start::draw_walks_tiles_and_flowers(scene_context*) {}
void part_start::draw_shaded_walks_fish_and_lines(scene_context*) {}
void part_start::draw_strands_fish_and_flowers(scene_context*) {}
void part_start::draw_garden(scene_context*) {}
void part_start::draw_figure_paths_flyers_swings_and_cards(scene_context*) {}
void part_start::draw_red_strands_to_sparks(scene_context*) {}
void part_start::draw_finale(scene_context*) {}
void part_start::draw_last_film_ribbon_and_curtains(scene_context*) {}
