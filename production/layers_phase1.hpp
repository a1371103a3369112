#pragma once
// The phase-1 layers of the timeline frame as free functions of the part, so
// that a block can be drawn on its own and the GL and generator state it
// leaves looked at.
#include <string>

class part_start;
class scene_context;

namespace timeline_layers {

// Layer 1, the falling red shapes (t < 20.03); the frame has seeded the
// generator and pushed the matrix around it.
void phase1_first_layer(const part_start& part, scene_context* scene);
// Layers 2 to 5: white cards and bar, the sliding collage, black and white cards.
void phase1_layers(const part_start& part, scene_context* scene);

// Tile row k of the collage from the shared generator: the row literal with,
// for k > 0, four random characters among indices 1 to 20 made straight.
std::string collage_tile_row(int k);

}  // namespace timeline_layers
