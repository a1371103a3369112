#pragma once
// Development switch: the timeline layers whose windows are held shut, by
// number in drawing order (1 to 51: phase 1 is 1 to 5, phase 2 6 to 49, the
// two layers after phase 2 50 and 51). Nothing in the show sets it; a test
// shuts a layer to see what it adds to the frame.
#include <bitset>
#include <cstddef>

inline constexpr int timeline_layer_count = 51;

inline std::bitset<timeline_layer_count + 1> g_shut_layers;

// Whether a layer draws: its window holds t and it is not held shut. A shut
// layer draws nothing its window test guards, sub-windows included.
inline bool layer_open(int layer, bool window_holds_t) {
    return window_holds_t && !g_shut_layers.test(static_cast<std::size_t>(layer));
}
