// The sound layer's parts that need no audio device: decoding, mixing, spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <unistd.h>

#include "platform/sound.hpp"
#include "tests/platform/tone_mp3.hpp"

namespace sound = platform::sound;

namespace {

constexpr std::uint64_t one_frame = std::uint64_t{1} << 32;

std::filesystem::path scratch_file(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("qm_sound_blocks_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir / name;
}

sound::sample ramp_sample(int frames) {
    sound::sample s;
    for (int n = 0; n < frames; ++n) {
        s.pcm.push_back(static_cast<std::int16_t>(100 * (n + 1)));
        s.pcm.push_back(static_cast<std::int16_t>(-100 * (n + 1)));
    }
    return s;
}

std::array<float, sound::fft_size> sine(double bin, double amplitude) {
    std::array<float, sound::fft_size> mono{};
    for (int n = 0; n < sound::fft_size; ++n)
        mono[n] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * bin * n / sound::fft_size));
    return mono;
}

}  // namespace

TEST(SoundDecode, StereoAndMonoFilesDecodeToStereoAtFullLength) {
    const auto stereo = scratch_file("stereo.mp3");
    const auto mono = scratch_file("mono.mp3");
    ASSERT_TRUE(test_support::write_tone_mp3(stereo, 44100, 440, 0.5, 2));
    ASSERT_TRUE(test_support::write_tone_mp3(mono, 22050, 440, 0.5, 1));

    const auto decoded_stereo = sound::decode_mp3(stereo.string());
    ASSERT_TRUE(decoded_stereo);
    EXPECT_EQ(decoded_stereo->size(), 44100u * 2);

    const auto decoded_mono = sound::decode_mp3(mono.string());
    ASSERT_TRUE(decoded_mono);
    ASSERT_EQ(decoded_mono->size(), 22050u * 2);
    // Mono is spread to both sides.
    for (std::size_t i = 0; i < decoded_mono->size(); i += 2)
        ASSERT_EQ((*decoded_mono)[i], (*decoded_mono)[i + 1]) << "frame " << i / 2;
    std::filesystem::remove_all(stereo.parent_path());
}

TEST(SoundDecode, MissingEmptyAndForeignFilesFail) {
    EXPECT_FALSE(sound::decode_mp3("/nonexistent/dir/none.mp3"));
    const auto empty = scratch_file("empty.mp3");
    { std::ofstream(empty, std::ios::binary); }
    EXPECT_FALSE(sound::decode_mp3(empty.string()));
    const auto text = scratch_file("text.mp3");
    { std::ofstream(text) << "this is not an mp3 file at all\n"; }
    EXPECT_FALSE(sound::decode_mp3(text.string()));
    EXPECT_FALSE(sound::decode_mp3(empty.parent_path().string()));  // a directory
    std::filesystem::remove_all(empty.parent_path());
}

TEST(SoundMixer, VolumeScalesAndSilenceIsExact) {
    const sound::sample s = ramp_sample(8);
    std::array<sound::voice, 1> voices{sound::voice{&s, 0, true, false, sound::max_volume}};
    std::array<std::int16_t, 8> out{};
    sound::mix_voices(voices, one_frame, out);
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(out[1], -100);
    EXPECT_EQ(out[6], 400);
    EXPECT_EQ(voices[0].cursor, 4 * one_frame);

    voices[0].volume = 0;
    sound::mix_voices(voices, one_frame, out);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::int16_t v) { return v == 0; }));
    EXPECT_EQ(voices[0].cursor, 8 * one_frame);  // a silent voice still moves on
}

TEST(SoundMixer, EndStopsOrWrapsAndSumsClamp) {
    sound::sample s = ramp_sample(3);
    std::array<sound::voice, 1> voices{sound::voice{&s, one_frame, true, false, sound::max_volume}};
    std::array<std::int16_t, 10> out{};
    sound::mix_voices(voices, one_frame, out);
    EXPECT_EQ(out[0], 200);
    EXPECT_EQ(out[2], 300);
    EXPECT_EQ(out[4], 0);  // played out: silence after the end
    EXPECT_FALSE(voices[0].playing);
    EXPECT_EQ(voices[0].cursor, 3 * one_frame);

    voices[0] = sound::voice{&s, 2 * one_frame, true, true, sound::max_volume};
    sound::mix_voices(voices, one_frame, out);
    EXPECT_EQ(out[0], 300);
    EXPECT_EQ(out[2], 100);  // wrapped to the start
    EXPECT_EQ(out[8], 100);
    EXPECT_TRUE(voices[0].playing);

    sound::sample loud;
    loud.pcm = {30000, -30000};
    std::array<sound::voice, 2> pair{sound::voice{&loud, 0, true, false, sound::max_volume},
                                     sound::voice{&loud, 0, true, false, sound::max_volume}};
    std::array<std::int16_t, 2> clamped{};
    sound::mix_voices(pair, one_frame, clamped);
    EXPECT_EQ(clamped[0], 32767);
    EXPECT_EQ(clamped[1], -32768);
}

TEST(SoundMixer, StepFollowsTheDeviceRate) {
    const sound::sample s = ramp_sample(8);
    std::array<sound::voice, 1> voices{sound::voice{&s, 0, true, false, sound::max_volume}};
    std::array<std::int16_t, 6> out{};
    sound::mix_voices(voices, 2 * one_frame, out);  // a device at half the sample rate
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(out[2], 300);
    EXPECT_EQ(out[4], 500);
}

TEST(SoundSpectrum, SinePeaksAtItsBinNearItsAmplitude) {
    const auto full = sound::magnitude_spectrum(sine(32, 1.0));
    const auto peak = std::max_element(full.begin(), full.end());
    EXPECT_EQ(peak - full.begin(), 32);
    EXPECT_NEAR(*peak, 1.0f, 0.01f);
    EXPECT_LT(full[20], 0.001f);

    const auto half = sound::magnitude_spectrum(sine(100, 0.5));
    EXPECT_NEAR(half[100], 0.5f, 0.01f);

    const auto silent = sound::magnitude_spectrum(std::array<float, sound::fft_size>{});
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](float v) { return v == 0.0f; }));
}
