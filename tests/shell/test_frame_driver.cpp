#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "platform/run_settings.hpp"
#include "production/parts.hpp"
#include "shell/demo.hpp"
#include "shell/frame_driver.hpp"
#include "shell/message_loop.hpp"
#include "shell/number_text.hpp"
#include "shell/settings.hpp"

namespace {

TEST(CaptureNumbers, SixSignificantDigitsWithThePointKept) {
    EXPECT_EQ(format_capture_number(0.0), "0.");
    EXPECT_EQ(format_capture_number(2.5), "2.5");
    EXPECT_EQ(format_capture_number(1.0), "1.");
    EXPECT_EQ(format_capture_number(-12.0), "-12.");
    EXPECT_EQ(format_capture_number(123456.0), "123456.");
    EXPECT_EQ(format_capture_number(3.14159265), "3.14159");
    EXPECT_EQ(format_capture_number(0.5), "0.5");
    EXPECT_EQ(format_capture_number(0.1), "0.1");
    EXPECT_EQ(format_capture_number(100.0), "100.");
    EXPECT_EQ(format_capture_number(1013.5), "1013.5");
}

TEST(CaptureNumbers, ExponentOutsideTheFixedRange) {
    EXPECT_EQ(format_capture_number(0.05), "5.e-002");
    EXPECT_EQ(format_capture_number(1234567.0), "1.23457e+006");
    EXPECT_EQ(format_capture_number(1000000.0), "1.e+006");
    EXPECT_EQ(format_capture_number(-0.000125), "-1.25e-004");
    // Rounding to six digits can carry into the next decade.
    EXPECT_EQ(format_capture_number(999999.7), "1.e+006");
}

TEST(ArrowControl, DecaysTowardZeroWithoutCrossing) {
    EXPECT_DOUBLE_EQ(decay_control(0.01, 1.45 * 0.1), 0.0);
    EXPECT_DOUBLE_EQ(decay_control(-0.01, 1.45 * 0.1), 0.0);
    EXPECT_DOUBLE_EQ(decay_control(1.4, 1.45 * 0.1), 1.0);   // 1.255, clamped
    EXPECT_NEAR(decay_control(0.5, 0.145), 0.355, 1e-12);
    EXPECT_NEAR(decay_control(-3.0, 0.145), -1.0, 1e-12);
    EXPECT_DOUBLE_EQ(decay_control(0.0, 0.145), 0.0);
}

TEST(MusicTime, ZeroFrequencyGivesZero) {
    EXPECT_DOUBLE_EQ(music_seconds(44100, 44100), 1.0);
    EXPECT_DOUBLE_EQ(music_seconds(44100, 0), 0.0);
}

// Sees the frame time the driver hands over and rescales it, as the show's
// part does.
struct doubling_part final : parts {
    void render(double* delta, offscreen_target*, scene_context*, frame_input*) override {
        seen = *delta;
        *delta *= 2.0;
    }
    void load(scene_context*) override {}
    double seen = -1.0;
};

// The show ends through std::exit, which a test runner would take for a pass:
// an end on a frame that should not end it fails the run instead.
bool g_end_expected = true;
void fail_on_unexpected_end() {
    if (g_end_expected) return;
    std::fputs("the show ended on a frame that should not end it\n", stderr);
    std::_Exit(1);
}

// Frames of an exact frame time without a window. Near 2^46 s a clock reading
// is a multiple of 1/64 s, so the microseconds that pass between the driver's
// two readings round away, with the real clock as with the stepped one.
class FrameDriverClock : public ::testing::Test {
protected:
    static constexpr double reading = 70368744177664.0;   // 2^46
    static constexpr double step = 1.0 / 64.0;

    void SetUp() override {
        static const int registered = std::atexit(&fail_on_unexpected_end);
        ASSERT_EQ(registered, 0);
        g_end_expected = false;
        timer_reset();
        g_elapsed_seconds = reading;
        g_music_enabled = false;
        g_quitting = false;
        part = new doubling_part;   // the show's end deletes it
        g_parts[0] = part;
    }
    void TearDown() override {
        g_end_expected = true;
        delete part;
        g_parts[0] = nullptr;
    }
    // One frame whose clock reading lies dt after the previous frame's.
    bool frame(double dt) {
        g_last_tick = reading - dt;
        return run_frame();
    }

    doubling_part* part = nullptr;
};

TEST_F(FrameDriverClock, NegativeFrameTimeCountsAsZero) {
    g_demo_time = 100.0;
    EXPECT_TRUE(frame(-step));
    EXPECT_EQ(g_demo_time, 100.0);
    EXPECT_EQ(part->seen, 0.0);
    EXPECT_EQ(g_frame_input.demo_time, 100.0);
}

TEST_F(FrameDriverClock, ShowGoesOnUpTo261Point1AndEndsOnTheFirstFramePastIt) {
    g_demo_time = 261.1 - 3 * step;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(frame(step));
    // The demo clock takes the frame time before the part rescales it; the
    // rescaled value is what the shell reads back.
    EXPECT_EQ(g_demo_time, 261.1);
    EXPECT_EQ(part->seen, step);
    EXPECT_EQ(g_frame_dt, 2 * step);

    // The end tears the window down, which prints its messages without one.
    if (!platform::settings().messages_to_stderr)
        GTEST_SKIP() << "teardown messages would open boxes";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((g_end_expected = true, frame(step)), ::testing::ExitedWithCode(0), "");
}

}  // namespace
