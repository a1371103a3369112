// The part's render with real frame deltas, as the shell calls it: the tempo
// map, the two clocks, the frame count, the published part time, seeking and
// the input copy it publishes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "production/part_start.hpp"
#include "render/scene_context.hpp"
#include "shell/frame_input.hpp"
#include "show_harness.hpp"

namespace {

class PartRender : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        harness_ = show_harness::get(&why);
        if (!harness_) GTEST_SKIP() << why;
        part = &harness_->part();
        saved_part_ = {part->time, part->fast_clock, part->frame_start_time, part->frame_count,
                       part->input_copy};
        saved_published_ = g_frame_input_copy;
        saved_scene_input_ = g_scene_context.frame_input;
    }
    // The part is shared by every test of the process: put back what a real
    // delta and a non-zero input changed.
    void TearDown() override {
        if (!part) return;
        std::tie(part->time, part->fast_clock, part->frame_start_time, part->frame_count,
                 part->input_copy) = saved_part_;
        g_frame_input_copy = saved_published_;
        g_scene_context.frame_input = saved_scene_input_;
    }

    // One frame from part time t; returns the delta as the shell reads it back.
    double render(double t, double fast_clock, double delta) {
        part->time = t;
        part->fast_clock = fast_clock;
        harness_->render_frame(&delta, input);
        return delta;
    }

    // After a frame, the part time is published everywhere the render puts it.
    void expect_published(double t) {
        EXPECT_EQ(part->time, t);
        EXPECT_EQ(part->frame_start_time, t);
        EXPECT_EQ(g_part_time, t);
        EXPECT_EQ(input.part_time_out(), t);
    }

    part_start* part = nullptr;
    frame_input input;

private:
    show_harness* harness_ = nullptr;
    std::tuple<double, double, double, std::int32_t, frame_input> saved_part_;
    frame_input saved_published_;
    frame_input* saved_scene_input_ = nullptr;
};

TEST_F(PartRender, DeltaIsRescaledByTheTempoMapAndBothClocksAdvance) {
    // Factor i eases from 1 to 1 + a_i from T0_i over 1 / r_i seconds:
    // (T0, r, a) = (19, .45, .091) (75, .3, -.091) (164, .3, .11) (226, .3, .14)
    // (244, .3, -.14) (133, .3, .08) (161, .3, -.08). Plateaus are the products.
    struct frame {
        double t, delta, factor;
    };
    const frame frames[] = {
        {0.0, 0.05, 1.0},
        {18.5, 1.0, 1.0},   // taken at the time before the advance, which passes 19
        {20.0, 0.05, 1.0 + 0.091 * (1.0 - std::cos(0.45 * M_PI)) / 2.0},
        {50.0, 0.02, 1.091},
        {100.0, 0.02, 0.991719},
        {120.0, 0.0, 0.991719},   // a zero delta moves neither clock
        {150.0, 0.02, 1.07105652},
        {162.0, 0.02, 1.07105652 * (1.0 - 0.08 * (1.0 - std::cos(0.3 * M_PI)) / 2.0)},
        {200.0, 0.02, 1.093762918224},
        {240.0, 0.02, 1.24688972677536},
        {255.0, 0.02, 1.07232516502681},
    };
    for (const frame& f : frames) {
        SCOPED_TRACE(f.t);
        const std::int32_t count = part->frame_count;
        const double scaled = render(f.t, 5.0, f.delta);
        EXPECT_NEAR(scaled, f.delta * f.factor, 1e-9 * f.delta);
        // The fast clock runs at 7/6 of the shell's delta, not the scaled one.
        EXPECT_DOUBLE_EQ(part->fast_clock, 5.0 + f.delta * 7.0 / 6.0);
        expect_published(f.t + scaled);
        EXPECT_EQ(part->frame_count, count + 1);
        EXPECT_EQ(g_scene_context.frame_input, &input);
    }
}

TEST_F(PartRender, SeekJumpsTheTimeToTwentyEightSecondUnits) {
    input.seek_request = 1;
    input.camera_offset[0] = 3.5;
    const double scaled = render(100.0, 5.0, 0.02);
    expect_published(98.0);
    // The advance itself still happens as usual.
    EXPECT_NEAR(scaled, 0.02 * 0.991719, 1e-12);
    EXPECT_DOUBLE_EQ(part->fast_clock, 5.0 + 0.02 * 7.0 / 6.0);
}

TEST_F(PartRender, PublishedCopyCarriesThePreviousFramesSpectrum) {
    const frame_input before = part->input_copy;
    for (int i = 0; i < 512; ++i) input.spectrum[i] = 1.0f + i;
    render(30.0, 35.0, 0.0);
    for (int i = 0; i < 512; ++i) input.spectrum[i] = 1000.0f + i;
    input.camera_offset[1] = 0.25;
    render(30.0, 35.0, 0.0);

    // This frame's camera offset, the previous frame's spectrum.
    EXPECT_EQ(g_frame_input_copy.camera_offset[1], 0.25);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(g_frame_input_copy.spectrum[i], 1.0f + i) << i;
        ASSERT_EQ(part->input_copy.spectrum[i], 1000.0f + i) << i;
    }
    // Only the first 256 bands are taken.
    for (int i = 256; i < 512; ++i) {
        ASSERT_EQ(part->input_copy.spectrum[i], before.spectrum[i]) << i;
        ASSERT_EQ(g_frame_input_copy.spectrum[i], before.spectrum[i]) << i;
    }
}

}  // namespace
