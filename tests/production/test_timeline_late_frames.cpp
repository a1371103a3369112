// Whole frames of the show's last layers and of the opening curtains,
// rendered on the stand-in data set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "shell/settings.hpp"
#include "show_harness.hpp"

namespace {

show_harness* harness() { return show_harness::get(); }

bool all_black(const std::vector<std::uint8_t>& rgba) {
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] || rgba[i + 1] || rgba[i + 2]) return false;
    return true;
}

// Pixels whose colour moved by more than a faint step between two frames.
int changed_pixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int changed = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        int most = 0;
        for (std::size_t c = 0; c < 3; ++c) most = std::max(most, std::abs(a[i + c] - b[i + c]));
        if (most > 24) ++changed;
    }
    return changed;
}

std::vector<std::uint8_t> frame_at(show_harness& h, double t) {
    h.render_at(t);
    return h.pixels();
}

// Renders with the projection of a screen of the given aspect ratio; the
// harness's viewport stays, so the whole wider view lands on its pixels.
class aspect_override {
public:
    explicit aspect_override(double aspect) : width_(g_render_width), height_(g_render_height) {
        g_render_height = 1000;
        g_render_width = static_cast<int>(std::floor(aspect * 1000.0));
    }
    ~aspect_override() {
        g_render_width = width_;
        g_render_height = height_;
    }

private:
    int width_, height_;
};

TEST(OpeningCurtains, CoverEveryPixelBefore8p5AtAspectsUpTo2p17) {
    show_harness* h = harness();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    for (double aspect : {0.5, 1.0, 4.0 / 3.0, 16.0 / 9.0, 2.0, 2.17}) {
        aspect_override wide(aspect);
        for (double t : {-6.0, -2.0, 0.0, 3.3, 6.0, 7.9, 8.25, 8.49, 8.5}) {
            h->render_at(t);
            EXPECT_TRUE(all_black(h->pixels())) << "aspect " << aspect << ", t = " << t;
        }
    }
}

TEST(OpeningCurtains, OpenAfter8p5) {
    show_harness* h = harness();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    for (double aspect : {16.0 / 9.0, 2.17}) {
        aspect_override wide(aspect);
        for (double t : {9.0, 9.5, 10.0, 11.0, 12.0}) {
            h->render_at(t);
            EXPECT_FALSE(all_black(h->pixels())) << "aspect " << aspect << ", t = " << t;
        }
    }
}

// A layer that appears or vanishes at a window bound changes the frame across
// the bound far more than the same short step does on either side of it
// (where the camera, the shaking mincer and the scrolling textures move).
// Only bounds where the layer is on screen at that moment are listed.
struct window_bound {
    double t;
    const char* what;
};

TEST(LateLayerFrames, LayersShowAtTheirWindowBounds) {
    show_harness* h = harness();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    const window_bound bounds[] = {
        {194.0, "composite: the black bar and the first card go"},
        {217.0, "four black cards"},
        {230.0, "film ribbon"},
        {240.0, "finale: third card"},
        {241.3, "finale: photographs"},
    };
    const double step = 0.0002;
    for (const window_bound& b : bounds) {
        const auto outer_before = frame_at(*h, b.t - 3.0 * step);
        const auto before = frame_at(*h, b.t - step);
        const auto after = frame_at(*h, b.t + step);
        const auto outer_after = frame_at(*h, b.t + 3.0 * step);
        const int across = changed_pixels(before, after);
        const int drift = std::max(changed_pixels(outer_before, before), changed_pixels(after, outer_after));
        EXPECT_GT(across, 3 * drift + 10) << b.what << " at t = " << b.t << " (drift " << drift << ")";
    }
}

}  // namespace
