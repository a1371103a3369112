#pragma once
// The stand-in soundtrack: a steady 120 beats-per-minute pulse over a four-chord loop,
// with a bell every ten seconds so sound and picture can be checked against each other.

#include <cstdint>
#include <vector>

namespace standin {

constexpr int kSampleRate = 44100;
constexpr double kSoundtrackSeconds = 262.0;
constexpr double kBeatSeconds = 0.5;
constexpr double kBellEverySeconds = 10.0;

// Interleaved stereo 16-bit samples (left first) for the first `seconds` of the track.
std::vector<std::int16_t> synthesize_soundtrack(double seconds = kSoundtrackSeconds);

// Constant-bitrate MP3 of interleaved stereo samples at kSampleRate, with the encoder's
// info frame and no ID3 tag, so the same samples always give the same bytes.
// Throws std::runtime_error when the encoder refuses its settings.
std::vector<std::uint8_t> encode_mp3(const std::vector<std::int16_t>& interleaved, int kilobits_per_second = 128);

}  // namespace standin
