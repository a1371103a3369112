#pragma once
// Fixed-seed number source for placing things in the pictures (never the C library's rand).

#include <cstdint>

namespace standin {

class ArtRandom {
public:
    explicit ArtRandom(std::uint64_t seed) : state_(seed * 6364136223846793005ull + 1442695040888963407ull) {}
    // Uniform in [0, 1).
    double next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    std::uint64_t state_;
};

}  // namespace standin
