#pragma once
// The production's part interface: the shell creates a part, loads it once and
// asks it to render every frame.
#include <cstdint>

class scene_context;
struct offscreen_target;
struct frame_input;

class parts {
public:
    // Draws one frame; `frame_delta` is the shell's frame time, rescaled in place.
    virtual void render(double* frame_delta, offscreen_target* target, scene_context* scene,
                        frame_input* input) = 0;
    virtual void load(scene_context* scene) = 0;
    // Lets the shell release a part through this interface with its members.
    virtual ~parts() = default;

    std::int32_t loaded = 0;
    double parameter = 0.0;
};
