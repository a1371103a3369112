// The opening curtains cover whole frames at every screen shape the show
// allows, rendered on the stand-in data set.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
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

}  // namespace
