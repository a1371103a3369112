// The scene camera that render leaves for the pass, at part times where one
// key has taken the camera over completely.
#include <gtest/gtest.h>

#include <cmath>

#include "production/part_start.hpp"
#include "render/scene_context.hpp"
#include "render/shaping.hpp"
#include "show_harness.hpp"

namespace {

double p(double x, double q) {
    x = x < 0 ? 0 : (x > 1 ? 1 : x);
    return shape_cosine_pulse(&x, &q);
}
double g(double x) { return shape_gamma_ramp(&x); }

void expect_camera(double t, double ex, double ey, double ez, double ux, double uy) {
    show_harness* h = show_harness::get();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    h->render_at(t);
    const camera_frame& c = g_scene_context.camera;
    const double tolerance = 1e-4 * (1.0 + std::abs(ex) + std::abs(ey));
    EXPECT_NEAR(c.eye.x, ex, tolerance) << "t = " << t;
    EXPECT_NEAR(c.eye.y, ey, tolerance) << "t = " << t;
    EXPECT_NEAR(c.eye.z, ez, 1e-3) << "t = " << t;
    EXPECT_NEAR(c.centre.x, ex, tolerance) << "t = " << t;
    EXPECT_NEAR(c.centre.y, ey, tolerance) << "t = " << t;
    EXPECT_NEAR(c.centre.z, 0.0, 1e-6) << "t = " << t;
    EXPECT_NEAR(c.up.x, ux, 1e-6) << "t = " << t;
    EXPECT_NEAR(c.up.y, uy, 1e-6) << "t = " << t;
}

TEST(CameraKeys, FirstKeyAt40) { expect_camera(40.0, 120.0, 170.0, 66.0, 0.0, 1.0); }

TEST(CameraKeys, SecondKeyAt100) {
    expect_camera(100.0, 826.0 - 20.0 * p(0.55, 1), -10.0 * g(0.0) + 20.0 * -12.0 + 170.0, 95.0, -1.0, 0.0);
}

TEST(CameraKeys, FifthKeyAt200) {
    const double sweep = 1.2 * (43.0 * g(40.0));
    expect_camera(200.0, 15.6 * (5.0 * g(0.3 * 18.0)) + 350.0 + 850.0 - 60.0,
                  75.0 * 40.0 + 570.0 - 0.85 * sweep + 250.0 + 210.0 - 720.0, 175.0, -1.0, 0.0);
}

TEST(CameraKeys, LastKeyAt260KeepsMoving) {
    expect_camera(260.0, 1860.0, 3635.0, 265.2, -1.0, 0.0);
    expect_camera(262.0, 1830.0, 3661.0, 265.2, -1.0, 0.0);
}

TEST(CameraKeys, EnvelopeBeforeTheFirstKey) {
    // Before t = 8 every clamp yields 0, so the envelope camera sits at x = 12;
    // its y follows 8t - 125 and no key has weight yet.
    expect_camera(5.0, 12.0, 8.0 * 5.0 - 125.0, 58.0, 0.0, 1.0);
}

}  // namespace
