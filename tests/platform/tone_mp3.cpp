#include "tests/platform/tone_mp3.hpp"

#include <lame/lame.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <numbers>
#include <vector>

namespace test_support {

bool write_tone_mp3(const std::filesystem::path& path, int frames, double hz, double amplitude,
                    int channels) {
    std::unique_ptr<lame_global_flags, decltype(&lame_close)> lame(lame_init(), &lame_close);
    if (!lame) return false;
    lame_set_in_samplerate(lame.get(), 44100);
    lame_set_out_samplerate(lame.get(), 44100);
    lame_set_num_channels(lame.get(), channels);
    lame_set_mode(lame.get(), channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame.get(), 128);
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0) return false;

    std::vector<short> left(static_cast<std::size_t>(frames));
    for (int n = 0; n < frames; ++n)
        left[n] = static_cast<short>(std::lround(
            amplitude * 32767.0 * std::sin(2.0 * std::numbers::pi * hz * n / 44100.0)));
    std::vector<unsigned char> mp3(static_cast<std::size_t>(frames) * 5 / 4 + 7200 + 16384);
    int written = lame_encode_buffer(lame.get(), left.data(), left.data(), frames, mp3.data(),
                                     static_cast<int>(mp3.size()));
    if (written < 0) return false;
    const int flushed = lame_encode_flush(lame.get(), mp3.data() + written,
                                          static_cast<int>(mp3.size()) - written);
    if (flushed < 0) return false;
    written += flushed;

    // The first frame is a placeholder for the tag that carries the exact length.
    std::vector<unsigned char> tag(8192);
    const std::size_t tag_size = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
    if (tag_size > 0 && tag_size <= static_cast<std::size_t>(written))
        std::copy(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tag_size), mp3.begin());

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(mp3.data()), written);
    return static_cast<bool>(out);
}

}  // namespace test_support
