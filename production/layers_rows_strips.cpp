#include "production/part_start.hpp"

void part_start::draw_rows_strips_and_figures(scene_context*) {}
