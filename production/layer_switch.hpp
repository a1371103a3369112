#pragma once
// Development switch: the timeline layers hidden from the frame, by number in
// drawing order (1 to 51: phase 1 is 1 to 5, phase 2 6 to 49, the two layers
// after phase 2 50 and 51). Nothing in the show sets it; a test hides a layer
// to see which pixels are its own.
//
// A hidden layer still runs in full, with its colour writes masked. The
// layers share one seeded generator and leave their GL state and depth values
// to the next, so skipping a layer would move everything drawn after it;
// masking keeps all of that, and the frame differs from the normal one in
// exactly the layer's own visible pixels.
#include <GL/gl.h>

#include <bitset>
#include <cstddef>

inline constexpr int timeline_layer_count = 51;

inline std::bitset<timeline_layer_count + 1> g_hidden_layers;

// One layer's drawing, from construction to the end of the enclosing scope;
// true when the layer's window holds t. For a hidden layer whose window holds
// t, colour writes are off for the scope; otherwise it makes no GL call. The
// layer must not set the colour mask itself, nor pop an attribute group
// pushed before the scope (either would undo the mask).
class layer_scope {
public:
    [[nodiscard]] layer_scope(int layer, bool window_holds_t)
        : drawn_(window_holds_t),
          masked_(window_holds_t && g_hidden_layers.test(static_cast<std::size_t>(layer))) {
        if (masked_) glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    }
    ~layer_scope() {
        if (masked_) glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    layer_scope(const layer_scope&) = delete;
    layer_scope& operator=(const layer_scope&) = delete;

    explicit operator bool() const { return drawn_; }

private:
    bool drawn_;
    bool masked_;
};
