#pragma once
// The first phase-2 block of the timeline frame (wavy rows, cel picture,
// strips, flakes, boards, wire figures and stalks) as a free function of the
// part, so that it can be drawn on its own and the state it leaves looked at.
class part_start;
class scene_context;

namespace timeline_layers {

// Layers 6 to 13, in the phase-2 state the frame sets up before them.
void rows_strips_and_figures(const part_start& part, scene_context* scene);

}  // namespace timeline_layers
