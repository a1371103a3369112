// The mixer the audio thread runs: sums the playing voices into 16-bit stereo.
#include <algorithm>

#include "platform/sound.hpp"

namespace platform::sound {
namespace {

constexpr std::size_t chunk_frames = 256;

void mix_voice(voice& v, std::uint64_t step, std::span<std::int32_t> sums) {
    if (!v.playing || !v.source) return;
    const std::uint64_t length = v.source->length();
    if (length == 0) {
        v.playing = false;
        return;
    }
    const std::uint64_t end = length << 32;
    const std::int32_t gain = std::clamp(v.volume, 0, max_volume);
    const std::int16_t* pcm = v.source->pcm.data();
    for (std::size_t i = 0; i < sums.size(); i += 2) {
        if (v.cursor >= end) {
            if (!v.loop) break;
            v.cursor %= end;
        }
        const std::size_t frame = static_cast<std::size_t>(v.cursor >> 32);
        sums[i] += pcm[frame * 2] * gain / max_volume;
        sums[i + 1] += pcm[frame * 2 + 1] * gain / max_volume;
        v.cursor += step;
    }
    if (v.cursor >= end && !v.loop) {
        v.cursor = end;
        v.playing = false;
    }
}

}  // namespace

void mix_voices(std::span<voice> voices, std::uint64_t step, std::span<std::int16_t> out) {
    const std::size_t frames = out.size() / 2;
    std::array<std::int32_t, chunk_frames * 2> sums;
    for (std::size_t first = 0; first < frames; first += chunk_frames) {
        const std::size_t count = std::min(chunk_frames, frames - first);
        std::span<std::int32_t> chunk(sums.data(), count * 2);
        std::fill(chunk.begin(), chunk.end(), 0);
        for (voice& v : voices) mix_voice(v, step, chunk);
        for (std::size_t i = 0; i < chunk.size(); ++i)
            out[first * 2 + i] = static_cast<std::int16_t>(std::clamp(chunk[i], -32768, 32767));
    }
    if (out.size() % 2 != 0) out.back() = 0;
}

}  // namespace platform::sound
