#include <gtest/gtest.h>

#include <cmath>

#include <mpg123.h>

#include "tools/standin/soundtrack.hpp"

using namespace standin;

namespace {

double rms(const std::vector<std::int16_t>& samples, double from_seconds, double length_seconds) {
    std::size_t first = static_cast<std::size_t>(from_seconds * kSampleRate) * 2;
    std::size_t count = static_cast<std::size_t>(length_seconds * kSampleRate) * 2;
    double sum = 0;
    for (std::size_t i = first; i < first + count; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / count);
}

// Amplitude of one frequency in the left channel over a window (a single DFT bin).
double tone_level(const std::vector<std::int16_t>& samples, double from_seconds, double length_seconds, double hz) {
    std::size_t first = static_cast<std::size_t>(from_seconds * kSampleRate);
    std::size_t count = static_cast<std::size_t>(length_seconds * kSampleRate);
    double re = 0, im = 0;
    for (std::size_t n = 0; n < count; ++n) {
        double a = 2 * 3.141592653589793 * hz * static_cast<double>(n) / kSampleRate;
        re += samples[(first + n) * 2] * std::cos(a);
        im += samples[(first + n) * 2] * std::sin(a);
    }
    return std::hypot(re, im) / count;
}

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::size_t frames = 0;
};

Decoded decode_mp3(const std::vector<std::uint8_t>& mp3) {
    Decoded out;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle) return out;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_open_feed(handle);
    std::vector<unsigned char> pcm(1 << 16);
    std::size_t bytes = 0, done = 0;
    int status = mpg123_decode(handle, mp3.data(), mp3.size(), pcm.data(), pcm.size(), &done);
    bytes += done;
    while (status != MPG123_ERR && status != MPG123_NEED_MORE) {
        if (status == MPG123_NEW_FORMAT) {
            int encoding;
            mpg123_getformat(handle, &out.rate, &out.channels, &encoding);
        }
        status = mpg123_decode(handle, nullptr, 0, pcm.data(), pcm.size(), &done);
        bytes += done;
    }
    if (out.channels > 0) out.frames = bytes / (2 * static_cast<std::size_t>(out.channels));
    mpg123_delete(handle);
    return out;
}

}  // namespace

TEST(Soundtrack, IsStereoAtTheRequestedLengthAndDeterministic) {
    auto first = synthesize_soundtrack(2.0);
    EXPECT_EQ(first.size(), static_cast<std::size_t>(2 * kSampleRate * 2));
    EXPECT_EQ(first, synthesize_soundtrack(2.0));
    EXPECT_TRUE(synthesize_soundtrack(0.0).empty());
}

TEST(Soundtrack, BeatsStandOutFromTheSpaceBetweenThem) {
    auto samples = synthesize_soundtrack(4.0);
    for (int beat = 1; beat < 7; ++beat) {
        double t = beat * kBeatSeconds;
        EXPECT_GT(rms(samples, t, 0.06), 2.5 * rms(samples, t + 0.3, 0.06)) << "beat " << beat;
    }
}

TEST(Soundtrack, BellMarksEveryTenSeconds) {
    auto samples = synthesize_soundtrack(60.5);
    // The same place within a bar, with and without the bell's tone; the minute bell is lower.
    EXPECT_GT(tone_level(samples, 10.02, 0.2, 1320.0), 10 * tone_level(samples, 8.02, 0.2, 1320.0));
    EXPECT_GT(tone_level(samples, 60.02, 0.2, 660.0), 10 * tone_level(samples, 58.02, 0.2, 660.0));
}

TEST(Soundtrack, FadesToSilenceAtTheEnd) {
    auto samples = synthesize_soundtrack(kSoundtrackSeconds);
    EXPECT_LT(rms(samples, kSoundtrackSeconds - 0.05, 0.05), 200.0);
    EXPECT_GT(rms(samples, kSoundtrackSeconds - 10.0, 1.0), 1000.0);
}

TEST(Mp3Encoding, IsByteForByteRepeatableAndDecodesToTheSameLength) {
    auto samples = synthesize_soundtrack(3.0);
    auto mp3 = encode_mp3(samples);
    EXPECT_EQ(mp3, encode_mp3(samples));
    ASSERT_GT(mp3.size(), 1000u);
    EXPECT_EQ(mp3[0], 0xFF);  // a frame sync, not an ID3 tag
    Decoded decoded = decode_mp3(mp3);
    EXPECT_EQ(decoded.rate, kSampleRate);
    EXPECT_EQ(decoded.channels, 2);
    // The info frame tells a gapless decoder to trim the encoder delay and padding.
    EXPECT_EQ(decoded.frames, samples.size() / 2);
}
