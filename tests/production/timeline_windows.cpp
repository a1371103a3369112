#include "timeline_windows.hpp"

namespace {

// One list per layer block, in drawing order: both bounds of every window.
const std::vector<double> phase1_first_layer = {};
const std::vector<double> phase1_layers = {};
const std::vector<double> rows_strips_and_figures = {};
const std::vector<double> walks_tiles_and_flowers = {};
const std::vector<double> shaded_walks_fish_and_lines = {};
const std::vector<double> strands_fish_and_flowers = {};
const std::vector<double> garden = {};
const std::vector<double> figure_paths_flyers_swings_and_cards = {};
const std::vector<double> red_strands_to_sparks = {};
const std::vector<double> finale = {};
const std::vector<double> last_film_ribbon_and_curtains = {};

}  // namespace

std::vector<double> timeline_window_bounds() {
    std::vector<double> all;
    for (const auto* block :
         {&phase1_first_layer, &phase1_layers, &rows_strips_and_figures, &walks_tiles_and_flowers,
          &shaded_walks_fish_and_lines, &strands_fish_and_flowers, &garden,
          &figure_paths_flyers_swings_and_cards, &red_strands_to_sparks, &finale,
          &last_film_ribbon_and_curtains})
        all.insert(all.end(), block->begin(), block->end());
    return all;
}
