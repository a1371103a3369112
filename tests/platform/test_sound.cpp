// The sound layer as the show drives it: init, load, play, positions, volume,
// spectrum and close, on whatever audio driver this machine opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

#include "platform/sound.hpp"
#include "tests/platform/tone_mp3.hpp"

namespace sound = platform::sound;

namespace {

constexpr std::uint32_t tone_frames = 3 * 44100;
// 440 Hz falls in bin 440 * 1024 / 44100 = 10.2.
constexpr int tone_bin = 10;

std::optional<double> g_seconds;  // the test's virtual clock; empty: real clock

class SoundLayer : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::filesystem::temp_directory_path() / ("qm_sound_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        ASSERT_TRUE(test_support::write_tone_mp3(tone_path(), tone_frames, 440, 0.5, 2));
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }

    void SetUp() override {
        g_seconds = 10.0;
        sound::set_clock_source([] { return g_seconds; });
        ASSERT_TRUE(sound::init(44100, 32, 0x2));
        tone_ = sound::load_sample(tone_path().string());
        ASSERT_NE(tone_, nullptr);
    }
    void TearDown() override {
        sound::close();
        sound::set_clock_source({});
    }

    static std::filesystem::path tone_path() { return dir_ / "tone.mp3"; }

    static inline std::filesystem::path dir_;
    sound::sample* tone_ = nullptr;
};

}  // namespace

TEST(SoundLifecycle, CloseAndQueriesWithoutInitAreSafe) {
    sound::close();
    sound::close();
    EXPECT_EQ(sound::fft_unit(), nullptr);
    EXPECT_EQ(sound::load_sample("/tmp/anything.mp3"), nullptr);
    EXPECT_EQ(sound::play(nullptr), sound::no_channel);
    EXPECT_EQ(sound::position(0), 0u);
    EXPECT_EQ(sound::frequency(0), 0);
    EXPECT_FALSE(sound::set_position(0, 10));
    EXPECT_FALSE(sound::set_volume_all(100));
    EXPECT_EQ(sound::sample_length(nullptr), 0u);
    const auto spectrum = sound::spectrum();
    EXPECT_TRUE(std::all_of(spectrum.begin(), spectrum.end(), [](float v) { return v == 0.0f; }));
    EXPECT_EQ(sound::audio_driver(), "");
}

TEST(SoundLifecycle, InitRejectsBadArgumentsAndASecondInit) {
    EXPECT_FALSE(sound::init(0, 32, 0));
    EXPECT_FALSE(sound::init(44100, 0, 0));
    ASSERT_TRUE(sound::init(44100, 4, 0));
    EXPECT_FALSE(sound::init(44100, 4, 0));
    EXPECT_FALSE(sound::audio_driver().empty());
    sound::close();
    EXPECT_EQ(sound::audio_driver(), "");
    // The layer starts again after a close.
    ASSERT_TRUE(sound::init(22050, 2, 0));
    sound::close();
}

TEST(SoundLifecycle, UnknownDriverFallsBackToDummy) {
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const bool opened = sound::init(44100, 32, 0);
    const std::string driver = sound::audio_driver();
    sound::close();
    if (previous) setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
    EXPECT_TRUE(opened);
    EXPECT_EQ(driver, "dummy");
}

TEST_F(SoundLayer, LoadReportsLengthInFramesAndRejectsMissingFiles) {
    EXPECT_EQ(sound::sample_length(tone_), tone_frames);
    EXPECT_EQ(sound::load_sample((dir_ / "missing.mp3").string()), nullptr);
    // The shell's path style with a doubled separator names the same file.
    const std::string doubled = dir_.string() + "//tone.mp3";
    EXPECT_NE(sound::load_sample(doubled), nullptr);
}

TEST_F(SoundLayer, PositionFollowsTheVirtualClock) {
    EXPECT_TRUE(sound::set_sample_loop(tone_, false));
    const int channel = sound::play(tone_);
    ASSERT_EQ(channel, 0);
    EXPECT_EQ(sound::frequency(channel), 44100);
    EXPECT_EQ(sound::position(channel), 0u);

    g_seconds = 10.5;
    EXPECT_EQ(sound::position(channel), 22050u);
    g_seconds = 11.0;
    EXPECT_EQ(sound::position(channel), 44100u);

    // A jump restarts the count from the new frame.
    EXPECT_TRUE(sound::set_position(channel, 1000));
    EXPECT_EQ(sound::position(channel), 1000u);
    g_seconds = 12.0;
    EXPECT_EQ(sound::position(channel), 45100u);

    // Stepping frame by frame keeps whole frames: 60 steps of 1/60 s make one second.
    EXPECT_TRUE(sound::set_position(channel, 0));
    for (int frame = 0; frame < 60; ++frame) g_seconds = *g_seconds + 1.0 / 60.0;
    EXPECT_EQ(sound::position(channel), 44100u);

    g_seconds = 100.0;
    EXPECT_EQ(sound::position(channel), tone_frames);
    EXPECT_TRUE(sound::set_position(channel, tone_frames + 5000));
    EXPECT_EQ(sound::position(channel), tone_frames);
}

TEST_F(SoundLayer, LoopingWrapsAndPlayedOutChannelsAreFreeAgain) {
    const int first = sound::play(tone_);
    const int second = sound::play(tone_);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);

    g_seconds = 10.0 + 3.5;  // both played out
    EXPECT_EQ(sound::position(first), tone_frames);

    // Loop mode is taken when a sound starts.
    EXPECT_TRUE(sound::set_sample_loop(tone_, true));
    EXPECT_EQ(sound::play(tone_), 0);
    g_seconds = 13.5 + 3.0 + 0.25;
    EXPECT_EQ(sound::position(0), 11025u);
    EXPECT_EQ(sound::position(1), tone_frames);
    EXPECT_EQ(sound::play(tone_), 1);  // channel 0 loops and stays busy
    EXPECT_FALSE(sound::set_position(5, 0));  // no sample there
    EXPECT_FALSE(sound::set_position(99, 0));
}

TEST_F(SoundLayer, RealClockPositionComesFromTheAudioThread) {
    g_seconds.reset();
    const int channel = sound::play(tone_);
    ASSERT_EQ(channel, 0);
    EXPECT_LE(sound::position(channel), tone_frames);
    ASSERT_TRUE(sound::set_position(channel, tone_frames / 2));
    const std::uint32_t now = sound::position(channel);
    EXPECT_GE(now, tone_frames / 2);
    EXPECT_LE(now, tone_frames);
    ASSERT_TRUE(sound::set_position(channel, tone_frames));
    EXPECT_EQ(sound::position(channel), tone_frames);
    EXPECT_EQ(sound::play(tone_), 0);  // played out
}

TEST_F(SoundLayer, SpectrumPeaksAtTheToneAndFollowsVolume) {
    const int channel = sound::play(tone_);
    ASSERT_EQ(channel, 0);
    g_seconds = 11.0;

    sound::dsp_unit* unit = sound::fft_unit();
    ASSERT_NE(unit, nullptr);
    auto spectrum = sound::spectrum();
    EXPECT_TRUE(std::all_of(spectrum.begin(), spectrum.end(), [](float v) { return v == 0.0f; }))
        << "inactive unit";

    ASSERT_TRUE(sound::set_unit_active(unit, true));
    spectrum = sound::spectrum();
    const auto peak = std::max_element(spectrum.begin(), spectrum.end());
    EXPECT_EQ(peak - spectrum.begin(), tone_bin);
    EXPECT_GT(*peak, 0.25f);  // a half-scale tone split across two bins
    EXPECT_LT(*peak, 0.6f);
    EXPECT_LT(spectrum[100], 0.01f);

    ASSERT_TRUE(sound::set_volume_all(0));
    spectrum = sound::spectrum();
    EXPECT_LT(*std::max_element(spectrum.begin(), spectrum.end()), 1e-6f);

    ASSERT_TRUE(sound::set_volume_all(sound::max_volume));
    g_seconds = 20.0;  // played out: silence
    spectrum = sound::spectrum();
    EXPECT_LT(*std::max_element(spectrum.begin(), spectrum.end()), 1e-6f);
}

TEST_F(SoundLayer, VolumeIsClampedForEveryChannel) {
    sound::play(tone_);
    EXPECT_EQ(sound::volume(0), sound::max_volume);
    ASSERT_TRUE(sound::set_volume_all(300));
    EXPECT_EQ(sound::volume(0), 255);
    EXPECT_EQ(sound::volume(31), 255);
    ASSERT_TRUE(sound::set_volume_all(-20));
    EXPECT_EQ(sound::volume(0), 0);
    ASSERT_TRUE(sound::set_volume_all(128));
    EXPECT_EQ(sound::volume(17), 128);
    EXPECT_EQ(sound::play(tone_), 1);
    EXPECT_EQ(sound::volume(1), sound::max_volume);  // a new sound starts at full volume
}
