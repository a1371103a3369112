// Renders part times across the whole show, and just around every window
// bound of the timeline's layers: no GL error, every stack back where it was,
// and the same time drawn twice gives the same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "production/part_start.hpp"
#include "timeline_windows.hpp"
#include "show_harness.hpp"

namespace {

show_harness* harness_or_skip() {
    std::string why;
    show_harness* h = show_harness::get(&why);
    return h;
}

std::set<double> sweep_times() {
    std::set<double> times;
    // The tempo map runs the part time ahead of the demo clock: it reaches
    // about 271.8 when the show ends at 261.1 s.
    for (double t = -6.0; t <= 273.0; t += 0.5) times.insert(t);
    for (double bound : timeline_window_bounds()) {
        times.insert(bound - 0.01);
        times.insert(bound);
        times.insert(bound + 0.01);
    }
    return times;
}

TEST(TimelineSweep, EveryTimeDrawsCleanly) {
    show_harness* h = harness_or_skip();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    h->gl_error();
    const stack_depths before = h->depths();
    for (double t : sweep_times()) {
        h->render_at(t);
        ASSERT_EQ(h->gl_error(), 0u) << "GL error at t = " << t;
        ASSERT_EQ(h->depths(), before) << "stacks not restored at t = " << t;
    }
}

TEST(TimelineSweep, SameTimeSamePixels) {
    show_harness* h = harness_or_skip();
    if (!h) GTEST_SKIP() << "no GL context or data set";
    for (double t : {10.0, 70.0, 130.0, 200.0, 250.0}) {
        h->render_at(t);
        const auto first = h->pixels();
        h->render_at(t + 37.0);
        h->render_at(3.0);
        h->render_at(t);
        EXPECT_TRUE(first == h->pixels()) << "t = " << t;
    }
}

}  // namespace
