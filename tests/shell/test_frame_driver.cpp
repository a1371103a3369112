#include <gtest/gtest.h>

#include "shell/frame_driver.hpp"
#include "shell/number_text.hpp"

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

}  // namespace
