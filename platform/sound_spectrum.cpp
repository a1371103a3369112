// The analyser: a Hann-windowed 1024-point real FFT through KissFFT.
#include <kiss_fftr.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "platform/sound.hpp"

namespace platform::sound {
namespace {

struct fftr_config_free {
    void operator()(kiss_fftr_state* cfg) const { kiss_fft_free(cfg); }
};

kiss_fftr_state* forward_config() {
    // Per thread: the configuration carries scratch space.
    thread_local std::unique_ptr<kiss_fftr_state, fftr_config_free> cfg(
        kiss_fftr_alloc(fft_size, 0, nullptr, nullptr));
    return cfg.get();
}

const std::array<float, fft_size>& hann_window() {
    static const std::array<float, fft_size> window = [] {
        std::array<float, fft_size> w{};
        for (int n = 0; n < fft_size; ++n)
            w[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / fft_size));
        return w;
    }();
    return window;
}

}  // namespace

std::array<float, spectrum_size> magnitude_spectrum(std::span<const float, fft_size> mono) {
    std::array<float, spectrum_size> magnitudes{};
    kiss_fftr_state* cfg = forward_config();
    if (!cfg) return magnitudes;

    const auto& window = hann_window();
    std::array<kiss_fft_scalar, fft_size> windowed;
    for (int n = 0; n < fft_size; ++n) windowed[n] = mono[n] * window[n];
    std::array<kiss_fft_cpx, fft_size / 2 + 1> bins;
    kiss_fftr(cfg, windowed.data(), bins.data());

    // A sine of amplitude a gives a bin of a * N/4 under the Hann window.
    constexpr float scale = 4.0f / fft_size;
    for (int k = 0; k < spectrum_size; ++k)
        magnitudes[k] = std::hypot(bins[k].r, bins[k].i) * scale;
    return magnitudes;
}

}  // namespace platform::sound
