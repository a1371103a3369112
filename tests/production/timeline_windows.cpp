#include "timeline_windows.hpp"

namespace {

// One list per layer block, in drawing order: both bounds of every window.
const std::vector<double> phase1_first_layer = {20.03};
const std::vector<double> phase1_layers = {
    95.8,  54.0,  119.0, 155.0, 136.0, 121.0, 156.0, 120.0, 154.0, 148.0, 140.0, 149.9, 146.9,
    154.9, 154.5, 122.0, 132.0, 128.0, 141.0, 138.0, 150.0, 153.0, 191.0, 190.0, 249.0, 248.0,
    247.0, 247.5, 248.5, 247.3, 246.6};
const std::vector<double> rows_strips_and_figures = {
    115.0, 174.0, 156.0, 246.2, 97.0, 98.0, 40.0, 90.0, 41.0, 37.0, 40.003, 45.0, 21.0, 20.0,
    0.0,   4.0,   15.0,  19.0};
const std::vector<double> walks_tiles_and_flowers = {30.8, 31.8, 99, 100, 69, 94, 63, 108, 38, 83, 35, 67, 50, 63, 25, 77, 44, 67};
const std::vector<double> shaded_walks_fish_and_lines = {67, 84, 40, 77, 50, 90, 15, 81, 10, 46, 25, 77, 33, 70, 42, 74, 32, 70, 81, 118, 82, 97};
const std::vector<double> strands_fish_and_flowers = {
    63, 89, 66, 62, 90, 91, 130, 94, 123.9, 99, 109, 102.4, 127, 92.6, 124, 89, 114, 107, 113,
    121, 170, 89, 106.8, 106.3, 106.5, 89, 108, 107};
const std::vector<double> garden = {
    140, 176, 152, 174, 159, 164, 163, 152.2, 173.35, 171.35, 173.2, 173.3, 173.4, 173.5, 173.6,
    173.7, 150, 173.9, 151.5, 180.3, 172.9, 153, 171.9, 154, 174.4};
const std::vector<double> figure_paths_flyers_swings_and_cards = {
    170, 174.4, 200, 158, 250, 175, 194, 180, 198, 198.5, 197, 194.5, 202, 234, 187, 211,
    212, 160, 217, 190, 219, 186, 185, 196, 232, 210, 206, 233, 173, 201};
const std::vector<double> red_strands_to_sparks = {
    227, 245.1, 228, 241, 217, 250, 230, 236, 230.5, 220, 245, 232, 235.5, 238.1, 262, 262.2,
    265, 267};
const std::vector<double> finale = {
    230, 235, 251, 233, 232, 250, 232.5, 240, 259, 236, 237, 238, 242, 241.3, 241.1, 242.1,
    245.98, 261.5, 261};
const std::vector<double> last_film_ribbon_and_curtains = {238, 247, 11, 8.5};

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
