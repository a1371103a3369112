#include "tools/standin/soundtrack.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>

#include <lame/lame.h>

namespace standin {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// Deterministic noise for the hi-hat; the C library's generator is not ours to rely on.
class NoiseSource {
public:
    float next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_) / 2147483648.0f - 1.0f;
    }

private:
    std::uint32_t state_ = 0x9E3779B9u;
};

struct Chord {
    double root;                 // bass note, Hz
    std::array<double, 3> pad;   // triad an octave or two up
};

// A minor, F major, C major, G major; each holds for two bars.
constexpr std::array<Chord, 4> kChords{{
    {110.00, {220.00, 261.63, 329.63}},
    {87.31, {174.61, 220.00, 261.63}},
    {130.81, {261.63, 329.63, 392.00}},
    {98.00, {196.00, 246.94, 293.66}},
}};

double kick(double since_beat, bool accent) {
    // A falling sine: its phase is the integral of 45 + 90 exp(-30 s) Hz.
    double phase = kTwoPi * (45.0 * since_beat + 3.0 * (1.0 - std::exp(-30.0 * since_beat)));
    return (accent ? 0.9 : 0.65) * std::exp(-8.0 * since_beat) * std::sin(phase);
}

double bass(double since_beat, double root) {
    double envelope = std::exp(-4.0 * since_beat) * std::min(1.0, since_beat * 200.0);
    double x = kTwoPi * root * since_beat;
    return 0.18 * envelope * (std::sin(x) + 0.4 * std::sin(2 * x) + 0.2 * std::sin(3 * x));
}

double bell(double since_bell, bool minute) {
    double f = minute ? 660.0 : 1320.0;
    double envelope = std::exp(-3.0 * since_bell) * std::min(1.0, since_bell * 500.0);
    return 0.35 * envelope * (std::sin(kTwoPi * f * since_bell) + 0.3 * std::sin(kTwoPi * 2.76 * f * since_bell));
}

std::int16_t to_pcm(double x) {
    double limited = std::tanh(x);  // soft limit instead of hard clipping
    return static_cast<std::int16_t>(std::lround(limited * 32000.0));
}

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

}  // namespace

std::vector<std::int16_t> synthesize_soundtrack(double seconds) {
    const long frames = std::max(0L, std::lround(seconds * kSampleRate));
    std::vector<std::int16_t> out;
    out.reserve(static_cast<std::size_t>(frames) * 2);
    NoiseSource noise;
    float previous_noise = 0.0f;
    for (long n = 0; n < frames; ++n) {
        double t = static_cast<double>(n) / kSampleRate;
        long beat = static_cast<long>(std::floor(t / kBeatSeconds));
        double since_beat = t - beat * kBeatSeconds;
        const Chord& chord = kChords[static_cast<std::size_t>((beat / 8) % 4)];

        double centre = kick(since_beat, beat % 4 == 0) + bass(since_beat, chord.root);
        double pad = 0.0;
        for (double f : chord.pad) pad += 0.035 * std::sin(kTwoPi * f * t);
        pad *= 0.8 + 0.2 * std::sin(kTwoPi * 0.25 * t);

        // Off-beat hat: high-passed noise, panned right.
        float white = noise.next();
        double hat_noise = white - previous_noise;
        previous_noise = white;
        double since_offbeat = since_beat - kBeatSeconds / 2;
        double hat = since_offbeat >= 0 ? 0.08 * std::exp(-60.0 * since_offbeat) * hat_noise : 0.0;

        long bell_index = static_cast<long>(std::floor(t / kBellEverySeconds));
        double ring = bell_index > 0 ? bell(t - bell_index * kBellEverySeconds, bell_index % 6 == 0) : 0.0;
        double ring_left = bell_index % 2 == 0 ? 0.75 : 0.45;

        double fade = std::min({1.0, t / 0.05, std::max(0.0, (kSoundtrackSeconds - t) / 4.0)});
        double left = (centre + pad + 0.4 * hat + ring * ring_left) * fade;
        double right = (centre + pad + 0.9 * hat + ring * (1.2 - ring_left)) * fade;
        out.push_back(to_pcm(left));
        out.push_back(to_pcm(right));
    }
    return out;
}

std::vector<std::uint8_t> encode_mp3(const std::vector<std::int16_t>& interleaved, int kilobits_per_second) {
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame) throw std::runtime_error("MP3 encoder could not be created");
    lame_set_in_samplerate(lame.get(), kSampleRate);
    lame_set_out_samplerate(lame.get(), kSampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_brate(lame.get(), kilobits_per_second);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_quality(lame.get(), 5);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0) throw std::runtime_error("MP3 encoder rejected its settings");

    std::vector<std::uint8_t> mp3;
    constexpr int kChunkFrames = 1152 * 32;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(kChunkFrames * 5 / 4 + 7200));
    const std::size_t total_frames = interleaved.size() / 2;
    for (std::size_t first = 0; first < total_frames; first += kChunkFrames) {
        int frames = static_cast<int>(std::min<std::size_t>(kChunkFrames, total_frames - first));
        // The encoder only reads the samples; its interface just lacks the const.
        short* samples = const_cast<short*>(interleaved.data() + first * 2);
        int written = lame_encode_buffer_interleaved(lame.get(), samples, frames, buffer.data(),
                                                     static_cast<int>(buffer.size()));
        if (written < 0) throw std::runtime_error("MP3 encoding failed");
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    }
    int written = lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (written < 0) throw std::runtime_error("MP3 encoding failed at the end");
    mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);

    // The first frame was a placeholder for the info frame (length, seek table, gapless
    // padding); write the finished one over it.
    std::size_t tag_size = lame_get_lametag_frame(lame.get(), buffer.data(), buffer.size());
    if (tag_size > 0 && tag_size <= mp3.size()) std::copy_n(buffer.begin(), tag_size, mp3.begin());
    return mp3;
}

}  // namespace standin
