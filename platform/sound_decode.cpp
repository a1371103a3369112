// MP3 decoding through libmpg123, always to 16-bit stereo at the layer's rate
// so that every sample mixes without conversion.
#include <mpg123.h>

#include <memory>

#include "platform/sound.hpp"

namespace platform::sound {
namespace {

struct handle_closer {
    void operator()(mpg123_handle* h) const {
        mpg123_close(h);
        mpg123_delete(h);
    }
};
using decoder_handle = std::unique_ptr<mpg123_handle, handle_closer>;

}  // namespace

std::optional<std::vector<std::int16_t>> decode_mp3(const std::string& path) {
    int error = MPG123_OK;
    decoder_handle decoder(mpg123_new(nullptr, &error));
    if (!decoder) return std::nullopt;
    // Gapless: the length is exact for encoder-tagged files.
    mpg123_param(decoder.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    // Without an explicit format mpg123 delivers whatever the file holds.
    if (mpg123_format_none(decoder.get()) != MPG123_OK ||
        mpg123_format(decoder.get(), sample_rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
        return std::nullopt;
    if (mpg123_open(decoder.get(), path.c_str()) != MPG123_OK) return std::nullopt;

    std::vector<std::int16_t> pcm;
    const off_t expected = mpg123_length(decoder.get());
    if (expected > 0 && expected < (off_t{1} << 31)) pcm.reserve(static_cast<std::size_t>(expected) * 2);

    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        std::size_t done = 0;
        const int status = mpg123_read(decoder.get(), buffer.data(), buffer.size(), &done);
        const auto* values = reinterpret_cast<const std::int16_t*>(buffer.data());
        pcm.insert(pcm.end(), values, values + done / sizeof(std::int16_t));
        if (status == MPG123_DONE) break;
        if (status == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            if (mpg123_getformat(decoder.get(), &rate, &channels, &encoding) != MPG123_OK ||
                rate != sample_rate || channels != 2 || encoding != MPG123_ENC_SIGNED_16)
                return std::nullopt;
            continue;
        }
        if (status != MPG123_OK) return std::nullopt;
        // Lengths are counted in 32-bit frames.
        if (pcm.size() / 2 > 0xFFFFFFFFu) return std::nullopt;
    }
    pcm.resize(pcm.size() & ~std::size_t{1});
    if (pcm.empty()) return std::nullopt;
    return pcm;
}

}  // namespace platform::sound
