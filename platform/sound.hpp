#pragma once
// The show's sound layer: decoded samples mixed on SDL's audio thread, their
// play positions, a volume for all channels and a spectrum of what plays.
// Every function is called from the show's thread; position and volume cross
// to the audio thread under a lock. When the run steps a virtual clock the
// reported positions (and the spectrum) follow that clock instead of the audio
// thread, so pictures and soundtrack stay in step frame by frame.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform::sound {

// Samples are decoded to 16-bit stereo at this rate; positions, lengths and
// frequencies are in sample frames at this rate.
inline constexpr int sample_rate = 44100;
inline constexpr int fft_size = 1024;
inline constexpr int spectrum_size = fft_size / 2;
inline constexpr int max_volume = 255;
inline constexpr int no_channel = -1;

// A decoded sound, owned by the layer from load_sample until close().
struct sample {
    std::vector<std::int16_t> pcm;  // interleaved left, right
    bool loop = false;              // taken by each play of the sample
    std::uint32_t length() const { return static_cast<std::uint32_t>(pcm.size() / 2); }
};

// The spectrum analyser; one exists while the layer is initialised.
struct dsp_unit;

// Opens the audio device (SDL's dummy driver when no real one opens).
// False for a bad rate or channel count, a second init, or no device at all.
// The flags are accepted for the caller's sake; none changes anything here.
bool init(int mix_rate, int channel_count, unsigned flags);

// Decodes an MP3 file; null when not initialised or the file is missing,
// unreadable or holds no audio.
sample* load_sample(const std::string& path);
// Loop mode for the sample's later plays. False for a sample the layer does not hold.
bool set_sample_loop(sample* s, bool loop);
// Length in frames; 0 for null.
std::uint32_t sample_length(const sample* s);

// Null when not initialised. While inactive, spectrum() is all zeros.
dsp_unit* fft_unit();
bool set_unit_active(dsp_unit* unit, bool active);

// Starts the sample at frame 0 on the first free channel at full volume and
// returns that channel, or no_channel.
int play(sample* s);
// Moves a channel holding a sample to a frame (clamped to the sample's end)
// and lets it play on from there. False for a channel without a sample.
bool set_position(int channel, std::uint32_t frame);
// Current frame of the channel's sample (its length once it has played out);
// 0 for an unknown channel.
std::uint32_t position(int channel);
// Playback rate of the channel's sample; 0 for an unknown or empty channel.
int frequency(int channel);

// Sets every channel's volume, clamped to 0..max_volume. False when not initialised.
bool set_volume_all(int volume);
int volume(int channel);

// Magnitudes of a Hann-windowed real FFT of the latest fft_size mono frames
// before the play position of every sounding channel, scaled by its volume:
// a full-scale sine peaks near 1.
std::array<float, spectrum_size> spectrum();

// Stops the audio thread and frees every sample. Safe without init and twice.
void close();

// Name of the SDL audio driver in use; empty when closed.
std::string audio_driver();

// Where a virtual clock is read: seconds it has run, or nothing while the real
// clock runs. The default reads the run's own clock (platform/system.hpp);
// tests feed their own. An empty function restores the default.
using clock_source = std::function<std::optional<double>()>;
void set_clock_source(clock_source source);

// --- building blocks, exposed for tests ---

// Decodes an MP3 file to interleaved 16-bit stereo at sample_rate.
std::optional<std::vector<std::int16_t>> decode_mp3(const std::string& path);

// Spectrum of exactly fft_size mono values in [-1, 1], scaled as spectrum().
std::array<float, spectrum_size> magnitude_spectrum(std::span<const float, fft_size> mono);

// One channel as the mixer sees it. The cursor counts frames in 32.32 fixed point.
struct voice {
    const sample* source = nullptr;
    std::uint64_t cursor = 0;
    bool playing = false;
    bool loop = false;
    int volume = max_volume;
};

// Adds `frames` stereo output frames of every playing voice into `out`
// (cleared first), advancing each by `step` (32.32 frames per output frame);
// a looping voice wraps at its end, another stops there.
void mix_voices(std::span<voice> voices, std::uint64_t step, std::span<std::int16_t> out);

}  // namespace platform::sound
