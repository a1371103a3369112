// The sound layer's state: the SDL audio device, its channels and samples, and
// the positions the show reads back.
#include "platform/sound.hpp"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/system.hpp"

namespace platform::sound {

struct dsp_unit {
    bool active = false;
};

namespace {

constexpr int lowest_mix_rate = 8000;
constexpr int highest_mix_rate = 192000;
constexpr int most_channels = 1024;

// Where a channel's virtual-clock position counts from.
struct clock_anchor {
    double seconds = 0.0;
    std::uint32_t frame = 0;
};

struct sound_system {
    std::mutex mutex;             // guards the voices
    std::vector<voice> voices;    // one per channel, mixed on the audio thread
    std::vector<clock_anchor> anchors;  // the show's thread only
    std::uint64_t step = std::uint64_t{1} << 32;
    std::vector<std::unique_ptr<sample>> samples;
    dsp_unit fft;
    SDL_AudioDeviceID device = 0;
    std::string driver;

    // A run that ends without close() (the window was closed) still stops the
    // audio thread before the samples it reads are freed.
    ~sound_system() {
        if (device) SDL_CloseAudioDevice(device);
    }
};

std::unique_ptr<sound_system> g_system;
clock_source g_clock;

void audio_callback(void* userdata, Uint8* stream, int bytes) {
    auto* system = static_cast<sound_system*>(userdata);
    std::span<std::int16_t> out(reinterpret_cast<std::int16_t*>(stream),
                                static_cast<std::size_t>(bytes) / sizeof(std::int16_t));
    std::lock_guard lock(system->mutex);
    mix_voices(system->voices, system->step, out);
}

// alsa-lib prints its own errors on standard error while SDL looks for a
// device: on a machine without sound, a screenful ahead of our one line. Its
// handler is swapped for a silent one while this object lives. The library is
// looked up at run time, so a machine without it needs nothing.
class quiet_alsa_errors {
public:
    quiet_alsa_errors() : library_(dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL)) {
        if (library_)
            set_handler_ = reinterpret_cast<set_handler_fn>(dlsym(library_, "snd_lib_error_set_handler"));
        if (set_handler_) set_handler_(&ignore);
    }
    ~quiet_alsa_errors() {
        if (set_handler_) set_handler_(nullptr);   // alsa-lib's own printer again
        if (library_) dlclose(library_);
    }
    quiet_alsa_errors(const quiet_alsa_errors&) = delete;
    quiet_alsa_errors& operator=(const quiet_alsa_errors&) = delete;

private:
    using handler_fn = void (*)(const char*, int, const char*, int, const char*, ...);
    using set_handler_fn = int (*)(handler_fn);
    static void ignore(const char*, int, const char*, int, const char*, ...) {}

    void* library_ = nullptr;
    set_handler_fn set_handler_ = nullptr;
};

SDL_AudioDeviceID open_on_current_driver(const SDL_AudioSpec& want) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    // SDL converts from our format to whatever the device takes.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (id == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return id;
}

SDL_AudioDeviceID open_device(const SDL_AudioSpec& want) {
    {
        const quiet_alsa_errors quiet;
        if (const SDL_AudioDeviceID id = open_on_current_driver(want)) return id;
    }
    // No sound device (a server, CI): the dummy driver still runs the mixer in real time.
    std::fprintf(stderr, "sound: no audio device (%s); using the dummy driver\n", SDL_GetError());
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    const SDL_AudioDeviceID id = open_on_current_driver(want);
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return id;
}

std::optional<double> virtual_seconds() {
    if (g_clock) return g_clock();
    if (fixed_step_clock()) return virtual_clock_seconds();
    return std::nullopt;
}

bool valid_channel(int channel) {
    return g_system && channel >= 0 && static_cast<std::size_t>(channel) < g_system->voices.size();
}

bool owned(const sample* s) {
    if (!g_system || !s) return false;
    return std::any_of(g_system->samples.begin(), g_system->samples.end(),
                       [s](const auto& held) { return held.get() == s; });
}

// The channel's frame as the show sees it; call with the lock held.
std::uint32_t reported_position(std::size_t channel, std::optional<double> now) {
    const voice& v = g_system->voices[channel];
    if (!v.source) return 0;
    const std::uint64_t length = v.source->length();
    std::uint64_t frame = 0;
    if (now) {
        // The virtual clock rules: seconds since play or set_position.
        const clock_anchor& anchor = g_system->anchors[channel];
        const double elapsed = std::clamp(*now - anchor.seconds, 0.0, 1e7);
        // The small bias keeps a whole number of seconds from landing a frame short.
        frame = anchor.frame + static_cast<std::uint64_t>(std::floor(elapsed * sample_rate + 1e-6));
    } else {
        frame = v.cursor >> 32;
    }
    if (v.loop && length > 0) return static_cast<std::uint32_t>(frame % length);
    return static_cast<std::uint32_t>(std::min(frame, length));
}

bool played_out(std::size_t channel, std::optional<double> now) {
    const voice& v = g_system->voices[channel];
    if (!v.source) return true;
    return !v.loop && reported_position(channel, now) >= v.source->length();
}

void anchor_channel(std::size_t channel, std::uint32_t frame, std::optional<double> now) {
    g_system->anchors[channel] = {now.value_or(0.0), frame};
}

}  // namespace

bool init(int mix_rate, int channel_count, unsigned /*flags*/) {
    if (g_system) return false;
    if (mix_rate < lowest_mix_rate || mix_rate > highest_mix_rate || channel_count < 1 ||
        channel_count > most_channels)
        return false;

    auto system = std::make_unique<sound_system>();
    system->voices.resize(static_cast<std::size_t>(channel_count));
    system->anchors.resize(static_cast<std::size_t>(channel_count));
    // Samples are at sample_rate; the mixer steps through them at the device's rate.
    system->step = (static_cast<std::uint64_t>(sample_rate) << 32) / static_cast<std::uint64_t>(mix_rate);

    SDL_AudioSpec want{};
    want.freq = mix_rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audio_callback;
    want.userdata = system.get();
    system->device = open_device(want);
    if (system->device == 0) return false;
    const char* driver = SDL_GetCurrentAudioDriver();
    system->driver = driver ? driver : "";

    g_system = std::move(system);
    SDL_PauseAudioDevice(g_system->device, 0);
    return true;
}

sample* load_sample(const std::string& path) {
    if (!g_system) return nullptr;
    auto pcm = decode_mp3(path);
    if (!pcm) return nullptr;
    auto loaded = std::make_unique<sample>();
    loaded->pcm = std::move(*pcm);
    g_system->samples.push_back(std::move(loaded));
    return g_system->samples.back().get();
}

bool set_sample_loop(sample* s, bool loop) {
    if (!owned(s)) return false;
    s->loop = loop;
    return true;
}

std::uint32_t sample_length(const sample* s) { return s ? s->length() : 0; }

dsp_unit* fft_unit() { return g_system ? &g_system->fft : nullptr; }

bool set_unit_active(dsp_unit* unit, bool active) {
    if (!g_system || unit != &g_system->fft) return false;
    unit->active = active;
    return true;
}

int play(sample* s) {
    if (!owned(s)) return no_channel;
    const auto now = virtual_seconds();
    std::lock_guard lock(g_system->mutex);
    for (std::size_t channel = 0; channel < g_system->voices.size(); ++channel) {
        if (!played_out(channel, now)) continue;
        g_system->voices[channel] = voice{s, 0, true, s->loop, max_volume};
        anchor_channel(channel, 0, now);
        return static_cast<int>(channel);
    }
    return no_channel;
}

bool set_position(int channel, std::uint32_t frame) {
    if (!valid_channel(channel)) return false;
    const auto now = virtual_seconds();
    std::lock_guard lock(g_system->mutex);
    voice& v = g_system->voices[static_cast<std::size_t>(channel)];
    if (!v.source) return false;
    frame = std::min(frame, v.source->length());
    v.cursor = static_cast<std::uint64_t>(frame) << 32;
    v.playing = frame < v.source->length() || v.loop;
    anchor_channel(static_cast<std::size_t>(channel), frame, now);
    return true;
}

std::uint32_t position(int channel) {
    if (!valid_channel(channel)) return 0;
    const auto now = virtual_seconds();
    std::lock_guard lock(g_system->mutex);
    return reported_position(static_cast<std::size_t>(channel), now);
}

int frequency(int channel) {
    if (!valid_channel(channel)) return 0;
    std::lock_guard lock(g_system->mutex);
    return g_system->voices[static_cast<std::size_t>(channel)].source ? sample_rate : 0;
}

bool set_volume_all(int level) {
    if (!g_system) return false;
    level = std::clamp(level, 0, max_volume);
    std::lock_guard lock(g_system->mutex);
    for (voice& v : g_system->voices) v.volume = level;
    return true;
}

int volume(int channel) {
    if (!valid_channel(channel)) return 0;
    std::lock_guard lock(g_system->mutex);
    return g_system->voices[static_cast<std::size_t>(channel)].volume;
}

std::array<float, spectrum_size> spectrum() {
    if (!g_system || !g_system->fft.active) return {};

    struct sounding {
        const sample* source;
        std::uint32_t frame;
        int volume;
    };
    std::vector<sounding> channels;
    const auto now = virtual_seconds();
    {
        std::lock_guard lock(g_system->mutex);
        for (std::size_t channel = 0; channel < g_system->voices.size(); ++channel) {
            if (played_out(channel, now)) continue;
            const voice& v = g_system->voices[channel];
            channels.push_back({v.source, reported_position(channel, now), v.volume});
        }
    }

    // Sample data never changes after loading, so it is read without the lock.
    std::array<float, fft_size> mono{};
    for (const sounding& c : channels) {
        const float gain = static_cast<float>(c.volume) / max_volume / 2.0f / 32768.0f;
        const std::int64_t first = static_cast<std::int64_t>(c.frame) - fft_size;
        for (int n = 0; n < fft_size; ++n) {
            const std::int64_t frame = first + n;
            if (frame < 0) continue;
            const std::size_t at = static_cast<std::size_t>(frame) * 2;
            mono[n] += static_cast<float>(c.source->pcm[at] + c.source->pcm[at + 1]) * gain;
        }
    }
    return magnitude_spectrum(mono);
}

void close() {
    if (!g_system) return;
    // Closing the device waits for the audio thread, so nothing reads the samples after.
    SDL_CloseAudioDevice(g_system->device);
    g_system->device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_system.reset();
}

std::string audio_driver() { return g_system ? g_system->driver : std::string(); }

void set_clock_source(clock_source source) { g_clock = std::move(source); }

}  // namespace platform::sound
