#pragma once
// Renders the show's part at any part time on an off-screen GL context, for
// the timeline tests and the timeline contact sheet. The part is loaded once
// per process from the stand-in data set (QUILLMERE_TEST_DATA, or a path given).
#include <cstdint>
#include <string>
#include <vector>

class part_start;
struct frame_input;

struct stack_depths {
    int modelview = 0, projection = 0, texture = 0, attributes = 0;
    bool operator==(const stack_depths&) const = default;
};

class show_harness {
public:
    static constexpr int width = 320;
    static constexpr int height = 180;

    // The shared harness; null (with the reason in `why`) when no GL context
    // or no data set is available.
    static show_harness* get(std::string* why = nullptr);

    // Renders one frame at part time t: sets the part time and fast clock
    // directly (no frame-time integration) and runs the part's render with a
    // zero frame delta, as the shell does each frame.
    void render_at(double t, double fast_clock);
    // Renders at t with fast_clock = 7/6 t (the ratio the two clocks keep).
    void render_at(double t) { render_at(t, t * 7.0 / 6.0); }
    // Renders one frame as the shell does: the part's clocks advance by the
    // delta, which the render rescales in place.
    void render_frame(double* delta, frame_input& input);
    std::vector<std::uint8_t> pixels() const;   // RGBA, bottom row first
    stack_depths depths() const;
    unsigned gl_error() const;                  // the first GL error since the last call
    part_start& part();
    // The shared generator's state right after the part's load.
    std::uint32_t random_state_after_load() const { return state_after_load_; }

private:
    show_harness() = default;
    part_start* part_ = nullptr;
    std::uint32_t state_after_load_ = 0;
};
